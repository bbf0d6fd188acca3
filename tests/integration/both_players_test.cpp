// The real program under a private X server plays a loopback station in each player: a clip that
// libVLC plays itself, and an RTSP stream it cannot open that libmpv then plays. The picture
// shows in the player area, the server was asked for the clip, and the saved position names the
// player that played.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "fakes/GbkFiles.h"
#include "fakes/TempFolder.h"
#include "support/Clips.h"
#include "support/IntegrationMain.h"
#include "support/LoopbackHttpServer.h"
#include "support/LoopbackRtspServer.h"
#include "support/ProgramRun.h"
#include "support/XClient.h"
#include "support/XvfbServer.h"

namespace zelvo::test {
namespace {

// The centre of Command2 "播放", from its design rectangle in twips (15 twips a pixel).
constexpr int kPlayX = (270 + 735 / 2) / 15;
constexpr int kPlayY = (5520 + 375 / 2) / 15;

TEST(BothPlayers, EachPlaysItsLoopbackClipIntoThePlayerArea) {
  TempFolder media;
  LoopbackHttpServer server(media.path());
  LoopbackRtspServer rtsp;
  const std::string wmv = makeClip(media.path(), 30, "wmv");
  const struct Case {
    std::string address;
    std::string requested;  // what the HTTP server must have been asked for; "" for none
    std::string player;     // as the position file names it
  } cases[] = {{server.url(wmv), "/" + wmv, "win"}, {rtsp.url(), "", "real"}};

  for (const Case& c : cases) {
    SCOPED_TRACE(c.address);
    TempFolder app;
    std::error_code error;
    std::filesystem::create_hard_link(ZELVO_PROGRAM, app.file("zelvo"), error);
    if (error) std::filesystem::copy_file(ZELVO_PROGRAM, app.file("zelvo"));
    writeGbkText(app.file("tv_lib.txt"), "甲," + c.address + ",-999,假,假\r\nend\r\n");

    XvfbServer xvfb;
    XClient x(xvfb.display());
    RunningProgram program(
        {app.file("zelvo")}, app.path(),
        ProgramStart{.setEnvironment = {{"DISPLAY", xvfb.display()}, {"QT_QPA_PLATFORM", "xcb"}},
                     .unsetEnvironment = {"WAYLAND_DISPLAY"},
                     .oneOutput = true});
    const unsigned long window = x.waitForWindow(program.pid(), "Zelvo ver 3.5");
    ASSERT_NE(window, 0u) << program.output();
    // The player area below the controls that lie over it: black until a picture moves in it.
    const auto colours = [&] {
      const std::vector<uint32_t> area = x.pixels(window, 0, 130, 560, 170);
      return std::set<uint32_t>(area.begin(), area.end()).size();
    };
    EXPECT_LE(colours(), 3u);
    EXPECT_TRUE(x.clickUntil(window, kPlayX, kPlayY, [&] { return colours() > 3; }))
        << program.output();
    if (!c.requested.empty()) {
      const auto asked = server.requestedPaths();
      EXPECT_NE(std::find(asked.begin(), asked.end(), c.requested), asked.end());
    }

    x.requestClose(window);
    EXPECT_EQ(program.waitForExit(30000), 0) << program.output();
    EXPECT_EQ(fileBytes(app.file("bfwz.dat")), c.player + "\r\n0\r\n");
  }
}

}  // namespace
}  // namespace zelvo::test

int main(int argc, char** argv) { return zelvo::test::runProgramTests(argc, argv); }
