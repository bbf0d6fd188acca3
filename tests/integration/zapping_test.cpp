// The real program under a private X server, zapped through stations that move between both
// players and a dead address faster than they can open, while every core is busy: it stays
// alive, no player opens a window of its own, and closing it afterwards saves the position.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include "platform/posix/GbkCodec.h"
#include "support/Clips.h"
#include "support/CpuLoad.h"
#include "support/IntegrationMain.h"
#include "support/LoopbackHttpServer.h"
#include "support/LoopbackRtspServer.h"
#include "support/ProgramRun.h"
#include "support/ProgramWindow.h"
#include "support/SoakRuns.h"
#include "support/TempFolder.h"
#include "support/TestEnvironment.h"
#include "support/TopLevelWatch.h"
#include "support/XClient.h"
#include "support/XvfbServer.h"

namespace zelvo::test {
namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

constexpr const char* kTitle = "Zelvo ver 3.5";
const Pixel kPlay = centreOf(designControls().Command2);
const Pixel kUp = centreOf(designControls().Command4);
const Pixel kDown = centreOf(designControls().Command5);

TEST(ZappingTest, ClicksAcrossBothPlayersAndADeadStationUnderLoadLeaveTheProgramAliveToSave) {
  TempFolder media, app;
  // libVLC plays the WMV clip; it has no RTSP client here and fails the RTSP stream, which
  // libmpv then plays.
  LoopbackHttpServer server(media.path(), LoopbackHttpServer::Mode::NoRanges);
  LoopbackRtspServer rtsp;
  const std::string wmv = server.url(makeClip(media.path(), 30, "wmv"));
  const std::string stream = rtsp.url();
  const std::string dead = "http://127.0.0.1:" + std::to_string(refusedPort()) + "/live.wmv";
  {
    std::ofstream library(app.file("tv_lib.txt"), std::ios::binary);
    for (const auto& [name, address] :
         {std::pair{"甲", wmv}, {"乙", stream}, {"丙", dead}, {"丁", wmv + "?2"}})
      library << utf8ToGbk(std::string(name) + "," + address + ",-999,假,假\r\n");
    library << "end\r\n";
  }
  // The application folder is the folder of the program.
  placeProgram(ZELVO_PROGRAM, app.path());

  XvfbServer xvfb;
  XClient x(xvfb.display());
  TopLevelWatch watch(xvfb.display());
  CpuLoad load;
  RunningProgram program(
      {app.file("zelvo")}, app.path(),
      ProgramStart{.setEnvironment = {{"DISPLAY", xvfb.display()}, {"QT_QPA_PLATFORM", "xcb"}},
                   .unsetEnvironment = {"WAYLAND_DISPLAY"},
                   .defaultSignals = true,
                   .oneOutput = true});
  const unsigned long window = x.waitForWindow(program.pid(), kTitle);
  ASSERT_NE(window, 0u) << program.output();
  x.click(window, kPlay.x, kPlay.y);

  // Three stations down, three back up, again and again, 100, 200 or 300 ms apart: every
  // player starts and leaves while the one before is still opening or closing, caught at
  // varying points of it. A round is six clicks.
  const int kClicks = 6 * soakRuns(10);
  for (int click = 0; click < kClicks; ++click) {
    std::this_thread::sleep_for(100ms * (1 + click % 3));
    ASSERT_TRUE(program.running())
        << "ended after " << click << " clicks with status " << program.waitForExit(0) << "\n"
        << program.output();
    const Pixel& button = click % 6 < 3 ? kDown : kUp;
    x.click(window, button.x, button.y);
  }
  std::this_thread::sleep_for(2s);
  ASSERT_TRUE(program.running()) << program.waitForExit(0) << "\n" << program.output();
  // Neither player ever opened a window of its own while it was started and left.
  EXPECT_EQ(watch.strays(window), "");

  x.requestClose(window);
  EXPECT_EQ(program.waitForExit(10000), 0) << program.output();
  const std::string saved = fileBytes(app.file("bfwz.dat"));
  EXPECT_TRUE(saved == "win\r\n0\r\n" || saved == "real\r\n0\r\n") << "\"" << saved << "\"";
}

}  // namespace
}  // namespace zelvo::test

int main(int argc, char** argv) { return zelvo::test::runProgramTests(argc, argv); }
