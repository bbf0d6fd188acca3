#include "platform/qt/QtServices.h"

#include <QApplication>
#include <QMessageBox>

#include "platform/Steps.h"

namespace zelvo {

void QtEventLoop::processPendingEvents() { QCoreApplication::processEvents(QEventLoop::AllEvents); }

void QtMessageBoxes::show(const std::string& text, const std::string& title, MessageIcon icon) {
  QMessageBox box;
  box.setWindowTitle(QString::fromStdString(title));
  box.setText(QString::fromStdString(text));
  switch (icon) {
    case MessageIcon::Information:
      box.setIcon(QMessageBox::Information);
      break;
    case MessageIcon::Warning:
      box.setIcon(QMessageBox::Warning);
      break;
    case MessageIcon::Error:
      box.setIcon(QMessageBox::Critical);
      break;
    case MessageIcon::None:
      break;
  }
  box.setStandardButtons(QMessageBox::Ok);
  box.exec();
}

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
