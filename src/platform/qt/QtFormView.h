// The main window drawn with Qt Widgets: each control model becomes a real widget at its
// design position (15 twips to a pixel), and the user's input becomes model events.
#pragma once

#include <QPointer>
#include <QWidget>
#include <functional>
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

  // The window's unload reaction, as closing the window runs it. A request that comes while the
  // reaction runs (it may let events run) is dropped: shut-down is never re-entered.
  void requestUnload();

  // Runs once, right after the window is first shown.
  std::function<void()> onFirstShown;

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
  void watch(QWidget* widget);
  bool clickEmptyLabel(QWidget* target, const QPointF& position);
  void showContextMenu(Control& control, QWidget* widget, const QPoint& at);

  Window& window_;
  std::map<Control*, QWidget*> widgets_;
  std::map<QWidget*, Control*> controls_;
  std::vector<Label*> labels_;
  std::map<const Control*, size_t> drawOrder_;
  bool applyingWindow_ = false;
  bool unloading_ = false;
  bool shown_ = false;
  size_t shortcuts_ = 0;  // how many of the window's shortcuts have been made
  const void* lastKey_ = nullptr;
  unsigned long lastKeyTime_ = 0;
  QPointer<QWidget> lastKeyReceiver_;
};

}  // namespace zelvo
