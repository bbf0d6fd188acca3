#include "platform/qt/QtCoreServices.h"

#include <QCoreApplication>

#include "platform/Steps.h"

namespace zelvo {

void QtEventLoop::processPendingEvents() { QCoreApplication::processEvents(QEventLoop::AllEvents); }

void QtProcess::end(int status) {
  if (!ended_) status_ = status;
  ended_ = true;
  QCoreApplication::exit(status_);
}

void QtTimers::bind(Timer& timer) {
  auto qtimer = std::make_unique<QTimer>();
  qtimer->setTimerType(type_);
  QTimer* raw = qtimer.get();
  auto apply = [raw, &timer] {
    if (timer.enabled() && timer.interval() > 0) {
      raw->start(timer.interval());
    } else {
      raw->stop();
    }
  };
  QObject::connect(raw, &QTimer::timeout, [&timer] { step([&] { timer.fire(); }); });
  timer.setScheduler(apply);
  apply();
  timers_.push_back(std::move(qtimer));
}

}  // namespace zelvo
