// Start-up of the real program offscreen with a library at the row limit: prints the time from
// process start to the shown window, and whether a browser process was started.
#include <unistd.h>

#include <QApplication>
#include <QElapsedTimer>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "program/Composition.h"
#include "platform/posix/GbkCodec.h"

namespace {

double secondsSinceProcessStart() {
  std::ifstream stat("/proc/self/stat");
  std::string field;
  for (int i = 0; i < 22 && stat >> field; ++i) {
  }
  double startTicks = std::stod(field);
  std::ifstream uptimeFile("/proc/uptime");
  double uptime = 0;
  uptimeFile >> uptime;
  return uptime - startTicks / static_cast<double>(sysconf(_SC_CLK_TCK));
}

bool browserProcessRunning() {
  for (const auto& entry : std::filesystem::directory_iterator("/proc")) {
    std::ifstream comm(entry.path() / "comm");
    std::string name;
    if (comm >> name && name.rfind("QtWebEngine", 0) == 0) return true;
  }
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s APP_FOLDER\n", argv[0]);
    return 2;
  }
  const double atMain = secondsSinceProcessStart();
  // The players' modules lie beside the program, not beside this probe.
  setenv("ZELVO_MODULE_DIR", ZELVO_BUILD_MODULES, 0);
  QElapsedTimer clock;
  clock.start();
  zelvo::prepareWindowProcess();
  QApplication app(argc, argv);
  const qint64 appReady = clock.elapsed();
  zelvo::ZelvoApplication zelvo(argv[1]);
  const qint64 componentsReady = clock.elapsed();
  zelvo.start();
  QCoreApplication::processEvents();
  const qint64 shown = clock.elapsed();
  std::printf(
      "rows=%d start_to_window_ms=%.0f (before main %.0f, application %lld, components %lld, "
      "start-up %lld) "
      "browser_process=%s\n",
      zelvo.window().controls().tvm.count(), atMain * 1000 + shown, atMain * 1000, appReady,
      componentsReady - appReady, shown - componentsReady, browserProcessRunning() ? "yes" : "no");
  return 0;
}
