// The real program under a private X server, switched between two stations on loopback by
// clicks on "向下" and "向上": prints its resident memory from /proc as it goes, and the growth
// from the end of the warm-up to the last switch. Whether it survived is printed too.
//   zelvo_zap_soak [switches=1000] [warm-up=50] [interval ms=300] [vlc|both]
// "vlc" switches between two clips libVLC plays; "both" makes the second one a loopback RTSP
// stream, which only libmpv plays, so every switch changes the player.
#include <algorithm>
#include <chrono>
#include <climits>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <thread>

#include "support/Clips.h"
#include "support/ControlCentre.h"
#include "support/GbkFiles.h"
#include "support/LoopbackHttpServer.h"
#include "support/LoopbackRtspServer.h"
#include "support/ProgramRun.h"
#include "support/TempFolder.h"
#include "support/TestEnvironment.h"
#include "support/XClient.h"
#include "support/XvfbServer.h"

namespace {

using namespace std::chrono_literals;

// The resident set of a process in kB, or -1 when it is gone.
long residentKb(pid_t pid) {
  std::ifstream status("/proc/" + std::to_string(pid) + "/status");
  std::string line;
  while (std::getline(status, line))
    if (line.rfind("VmRSS:", 0) == 0) return std::stol(line.substr(6));
  return -1;
}

}  // namespace

int main(int argc, char** argv) {
  using namespace zelvo;
  const int switches = argc > 1 ? std::stoi(argv[1]) : 1000;
  const int warmUp = argc > 2 ? std::stoi(argv[2]) : 50;
  const auto interval = std::chrono::milliseconds(argc > 3 ? std::stoi(argv[3]) : 300);
  const bool both = argc > 4 && std::string(argv[4]) == "both";
  test::prepareTestEnvironment();

  test::TempFolder media, app;
  test::LoopbackHttpServer server(media.path(), test::LoopbackHttpServer::Mode::NoRanges);
  const std::string first = server.url(test::makeClip(media.path(), 60, "wmv"));
  std::unique_ptr<test::LoopbackRtspServer> rtsp;
  if (both) rtsp = std::make_unique<test::LoopbackRtspServer>();
  const std::string second = both ? rtsp->url() : first + "?2";
  test::writeGbkLines(app.file("tv_lib.txt"),
                      {"甲," + first + ",-999,假,假", "乙," + second + ",-999,假,假", "end"});
  std::error_code error;
  std::filesystem::create_hard_link(ZELVO_PROGRAM, app.file("zelvo"), error);
  if (error) std::filesystem::copy_file(ZELVO_PROGRAM, app.file("zelvo"));

  test::XvfbServer xvfb;
  test::XClient x(xvfb.display());
  test::RunningProgram program({app.file("zelvo")}, app.path(),
                               test::ProgramStart{.setEnvironment = {{"DISPLAY", xvfb.display()},
                                                                     {"QT_QPA_PLATFORM", "xcb"}},
                                                  .unsetEnvironment = {"WAYLAND_DISPLAY"},
                                                  .oneOutput = true});
  const unsigned long window = x.waitForWindow(program.pid(), "Zelvo ver 3.5");
  if (!window) {
    std::printf("the window never came up\n%s", program.output().c_str());
    return 1;
  }
  const FormControls& controls = test::designControls();
  const test::Pixel play = test::centreOf(controls.Command2);
  x.click(window, play.x, play.y);
  std::printf("start: %ld kB\n", residentKb(program.pid()));

  long base = -1;
  constexpr int kStretch = 100;
  long firstLow = LONG_MAX, lastLow = LONG_MAX;
  for (int done = 1; done <= warmUp + switches; ++done) {
    std::this_thread::sleep_for(interval);
    if (!program.running()) {
      std::printf("the program ended after %d switches (status %d)\n%s", done - 1,
                  program.waitForExit(0), program.output().c_str());
      return 1;
    }
    const test::Pixel button = test::centreOf(done % 2 ? controls.Command5 : controls.Command4);
    x.click(window, button.x, button.y);
    const long resident = residentKb(program.pid());
    if (done == warmUp) base = resident;
    // The lowest reading of a stretch leaves out the swing of whichever stream is opening: what
    // stays is what the switches left behind.
    if (done > warmUp && done <= warmUp + kStretch) firstLow = std::min(firstLow, resident);
    if (done > warmUp + switches - kStretch) lastLow = std::min(lastLow, resident);
    if (done % 50 == 0) std::printf("switch %4d: %ld kB\n", done, resident);
    std::fflush(stdout);
  }
  std::this_thread::sleep_for(2s);
  const long last = residentKb(program.pid());
  std::printf(
      "%s, %d switches every %lld ms: %.1f MB growth after the first %d (%.1f kB a switch)\n",
      both ? "libVLC and libmpv" : "libVLC", switches, static_cast<long long>(interval.count()),
      (last - base) / 1024.0, warmUp, double(last - base) / switches);
  std::printf("lowest of the first and of the last %d switches: %ld and %ld kB (%.1f MB growth)\n",
              kStretch, firstLow, lastLow, (lastLow - firstLow) / 1024.0);
  x.requestClose(window);
  std::printf("closed with status %d\n", program.waitForExit(30000));
  return 0;
}
