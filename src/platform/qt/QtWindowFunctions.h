// The window functions of the pop-up watch on Qt: the application's top-level widgets stand for
// windows; a dialog whose parent is a widget inside a window is that window's pop-up.
#pragma once

#include <QObject>
#include <QPointer>
#include <QWidget>
#include <vector>

#include "platform/WindowFunctions.h"

namespace zelvo {

class QtWindowFunctions : public QObject, public WindowFunctions {
 public:
  QtWindowFunctions();
  ~QtWindowFunctions() override;

  WindowHandle activeWindow() override;
  WindowHandle lastActivePopup(WindowHandle owner) override;
  std::string windowText(WindowHandle window, int maxCount) override;
  void sendClose(WindowHandle window) override;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QWidget* widgetOf(WindowHandle handle) const;
  // Top-level widgets in the order they were last shown or activated, the latest last. A pop-up
  // that appears while the application is not active is never activated, yet it is the latest.
  std::vector<QPointer<QWidget>> recent_;
};

// The GB18030 bytes of text, cut to at most maxBytes without splitting a character.
std::string gbkPrefix(const std::string& utf8Text, size_t maxBytes);

}  // namespace zelvo
