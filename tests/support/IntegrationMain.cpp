// Runs the integration tests inside a Qt application, with private runtime folders, and
// lets tests wait on the event loop for what the real components report.
#include "support/IntegrationMain.h"

#include <gtest/gtest.h>

#include <QtCore/QCoreApplication>
#include <QtCore/QElapsedTimer>
#include <QtCore/QThread>
#include <QtWidgets/QApplication>

#include "support/TestEnvironment.h"

namespace zelvo::test {

int runIntegrationTests(int argc, char** argv) {
  prepareTestEnvironment();
  ::testing::InitGoogleTest(&argc, argv);
  // Web views and video surfaces share one GL context; Qt wants that decided before it starts.
  QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
  QApplication application(argc, argv);
  return RUN_ALL_TESTS();
}

int runProgramTests(int argc, char** argv) {
  prepareTestEnvironment();
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}

bool waitUntil(std::function<bool()> condition, int timeoutMs) {
  QElapsedTimer clock;
  clock.start();
  while (!condition()) {
    if (clock.elapsed() >= timeoutMs) return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    QThread::msleep(5);
  }
  return true;
}

void processEventsFor(int milliseconds) {
  QElapsedTimer clock;
  clock.start();
  while (clock.elapsed() < milliseconds) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    QThread::msleep(5);
  }
}

}  // namespace zelvo::test
