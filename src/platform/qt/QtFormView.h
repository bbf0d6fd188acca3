// The main window drawn with Qt Widgets: each control model becomes a real widget at its
// design position (15 twips to a pixel), and the user's input becomes model events.
#pragma once

#include <QWidget>
#include <map>
#include <vector>

#include "platform/Control.h"
#include "platform/Window.h"

namespace zelvo {

inline constexpr int kTwipsPerPixel = 15;

class QtFormView : public QWidget {
  Q_OBJECT
 public:
  QtFormView(Window& window, const std::vector<Control*>& controls);
  ~QtFormView() override;

  // Puts an engine's own widget (player, browser) into the area of a host control.
  void attach(Control& host, QWidget* content);
  QWidget* widgetOf(const Control& control) const;

 protected:
  void closeEvent(QCloseEvent* event) override;
  void changeEvent(QEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QWidget* makeWidget(Control& control);
  void applyWindow();
  void applyGeometry(Control& control, QWidget* widget);
  void focusChanged(QWidget* old, QWidget* now);
  Control* controlOf(QWidget* widget) const;

  Window& window_;
  std::map<Control*, QWidget*> widgets_;
  std::map<QWidget*, Control*> controls_;
  bool applyingWindow_ = false;
  const void* lastKey_ = nullptr;
  unsigned long lastKeyTime_ = 0;
};

}  // namespace zelvo
