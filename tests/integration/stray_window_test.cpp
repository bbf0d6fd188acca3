// The real program under a private X server shows no window but its own: while it plays,
// switches stations up and down and scans the list, the players draw only into the window's
// player areas and never open a top-level window of their own.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <set>
#include <thread>

#include "platform/posix/GbkCodec.h"
#include "support/Clips.h"
#include "support/IntegrationMain.h"
#include "support/LoopbackHttpServer.h"
#include "support/ProgramRun.h"
#include "support/ProgramWindow.h"
#include "support/TempFolder.h"
#include "support/TestEnvironment.h"
#include "support/TopLevelWatch.h"
#include "support/XClient.h"
#include "support/XvfbServer.h"

namespace zelvo::test {
namespace {

using namespace std::chrono_literals;

constexpr const char* kTitle = "Zelvo ver 3.5";

const FormControls& kControls = designControls();
const Button *const kPlay = &kControls.Command2, *const kUp = &kControls.Command4,
                    *const kDown = &kControls.Command5, *const kScan = &kControls.Command10;

std::string stationLines(const std::vector<std::string>& addresses) {
  std::string lines;
  for (size_t i = 0; i < addresses.size(); ++i)
    lines += "台" + std::to_string(i) + "," + addresses[i] + ",-999,假,假\r\n";
  return utf8ToGbk(lines + "end\r\n");
}

TEST(StrayWindow, PlayingSwitchingAndScanningShowOnlyTheMainWindowAndItsDialogs) {
  XvfbServer xvfb;
  TempFolder media, app;
  LoopbackHttpServer server(media.path());
  const std::string clip = makeClip(media.path(), 30);
  std::vector<std::string> addresses;
  for (const char* query : {"?a", "?b", "?c", "?d"}) addresses.push_back(server.url(clip + query));
  std::ofstream(app.file("tv_lib.txt"), std::ios::binary) << stationLines(addresses);
  std::ofstream(app.file("tv_lib_ss.txt"), std::ios::binary) << stationLines(addresses);

  TopLevelWatch watch(xvfb.display());
  RunningProgram program({placeProgram(ZELVO_PROGRAM, app.path())}, app.path(),
                         {{"DISPLAY", xvfb.display()}, {"QT_QPA_PLATFORM", "xcb"}});
  XClient x(xvfb.display());
  const unsigned long window = x.waitForWindow(program.pid(), kTitle);
  ASSERT_NE(window, 0u) << "no main window";

  // The picture shows in the player area: a rectangle at its centre holds many colours.
  const auto pictureShown = [&] {
    return waitUntil(
        [&] {
          const std::vector<uint32_t> area = x.pixels(window, 235, 110, 100, 60);
          return std::set<uint32_t>(area.begin(), area.end()).size() > 3;
        },
        10000, 100);
  };

  // Each click comes while the previous station still plays.
  const struct Step {
    const Button* button;
    std::chrono::milliseconds wait;
    bool picture = false;
  } steps[] = {{kPlay, 2500ms},     {kDown, 1500ms}, {kDown, 1500ms, true}, {kUp, 1500ms},
               {kUp, 1500ms, true}, {kScan, 3000ms}, {kPlay, 1500ms},       {kScan, 3000ms}};
  std::string done;
  for (const Step& step : steps) {
    const Pixel centre = centreOf(*step.button);
    x.click(window, centre.x, centre.y);
    done += " " + step.button->caption();
    std::this_thread::sleep_for(step.wait);
    ASSERT_TRUE(program.running()) << "ended after" << done << "\n" << program.finish(0).err;
    if (step.picture) {
      EXPECT_TRUE(pictureShown()) << "no picture in the player after" << done;
    }
  }

  EXPECT_EQ(watch.strays(window), "")
      << "top-level windows other than the main window and its dialogs";
}

}  // namespace
}  // namespace zelvo::test

int main(int argc, char** argv) { return zelvo::test::runProgramTests(argc, argv); }
