// Runs the integration tests inside a Qt application, with private runtime folders, and
// lets tests wait on the event loop for what the real components report.
#include "support/IntegrationMain.h"

#include <gtest/gtest.h>

#include <QtCore/QCoreApplication>
#include <QtWidgets/QApplication>
#include <cstdlib>

#include "support/TestEnvironment.h"
#include "support/XvfbServer.h"

namespace zelvo::test {

int runIntegrationTests(int argc, char** argv) {
  prepareTestEnvironment();
  ::testing::InitGoogleTest(&argc, argv);
  // Web views and video surfaces share one GL context; Qt wants that decided before it starts.
  QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
  QApplication application(argc, argv);
  return RUN_ALL_TESTS();
}

namespace {
const XvfbServer* xServer = nullptr;
}  // namespace

int runIntegrationTestsOnXvfb(int argc, char** argv) {
  XvfbServer server;
  xServer = &server;
  ::setenv("DISPLAY", server.display().c_str(), 1);
  ::setenv("QT_QPA_PLATFORM", "xcb", 1);
  ::unsetenv("WAYLAND_DISPLAY");
  return runIntegrationTests(argc, argv);
}

const XvfbServer& privateXServer() { return *xServer; }

int runProgramTests(int argc, char** argv) {
  prepareTestEnvironment();
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}

}  // namespace zelvo::test
