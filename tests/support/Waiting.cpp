// One wait loop for every test: Qt's events run when there is an application to run them.
#include "support/Waiting.h"

#include <QtCore/QCoreApplication>
#include <QtCore/QElapsedTimer>
#include <QtCore/QThread>
#include <algorithm>

namespace zelvo::test {

namespace {

void pause(int milliseconds) {
  if (QCoreApplication::instance()) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, std::min(milliseconds, 20));
    QThread::msleep(std::min(milliseconds, 5));
  } else {
    QThread::msleep(milliseconds);
  }
}

}  // namespace

bool waitUntil(const std::function<bool()>& condition, int timeoutMs, int pollMs) {
  QElapsedTimer clock;
  clock.start();
  while (clock.elapsed() < timeoutMs) {
    if (condition()) return true;
    const qint64 until = std::min<qint64>(clock.elapsed() + pollMs, timeoutMs);
    do {
      pause(static_cast<int>(std::max<qint64>(1, until - clock.elapsed())));
    } while (clock.elapsed() < until);
  }
  return condition();
}

void processEventsFor(int milliseconds) {
  QElapsedTimer clock;
  clock.start();
  while (clock.elapsed() < milliseconds)
    pause(static_cast<int>(std::max<qint64>(1, milliseconds - clock.elapsed())));
}

}  // namespace zelvo::test
