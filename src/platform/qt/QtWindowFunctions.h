// The window functions of the pop-up watch on Qt: the application's top-level widgets stand for
// windows, a dialog owned by a window (its parent) is that window's pop-up.
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
  // Top-level widgets in the order they were last activated, most recent last.
  std::vector<QPointer<QWidget>> activations_;
};

}  // namespace zelvo
