// How long the user waits for a view: from an action until the view's next paint.
#pragma once

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QObject>
#include <QWidget>
#include <functional>

namespace zelvo::bench {

class PaintWatch : public QObject {
 public:
  explicit PaintWatch(QWidget& view) { view.installEventFilter(this); }

  // Does action, then runs the event loop until the view paints, at most 5 s; the milliseconds
  // that took.
  double millisecondsUntilPainted(const std::function<void()>& action) {
    painted_ = false;
    QElapsedTimer clock;
    clock.start();
    action();
    while (!painted_ && clock.elapsed() < 5000)
      QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    return clock.nsecsElapsed() / 1e6;
  }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Paint) painted_ = true;
    return QObject::eventFilter(watched, event);
  }

 private:
  bool painted_ = false;
};

}  // namespace zelvo::bench
