// The real program under a private X server plays a loopback station in each player: a clip that
// libVLC plays itself, and an RTSP stream it cannot open that libmpv then plays. The picture
// shows in the player area, the server was asked for the clip, and the saved position names the
// player that played.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <thread>
#include <vector>

#include "support/Clips.h"
#include "support/GbkFiles.h"
#include "support/IntegrationMain.h"
#include "support/LoopbackHttpServer.h"
#include "support/LoopbackRtspServer.h"
#include "support/ProgramWindow.h"
#include "support/TempFolder.h"

namespace zelvo::test {
namespace {

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
    writeGbkText(app.file("tv_lib.txt"), "甲," + c.address + ",-999,假,假\r\nend\r\n");

    ProgramWindow zelvo(placeProgram(ZELVO_PROGRAM, app.path()), app.path());
    RunningProgram& program = zelvo.program();
    ASSERT_NE(zelvo.window(), 0u) << program.output();
    EXPECT_LE(zelvo.playerColours(), 3u);
    EXPECT_TRUE(zelvo.clickUntilPicture(designControls().Command2)) << program.output();
    if (!c.requested.empty()) {
      const auto asked = server.requestedPaths();
      EXPECT_NE(std::find(asked.begin(), asked.end(), c.requested), asked.end());
    }

    zelvo.x().requestClose(zelvo.window());
    EXPECT_EQ(program.waitForExit(30000), 0) << program.output();
    EXPECT_EQ(fileBytes(app.file("bfwz.dat")), c.player + "\r\n0\r\n");
  }
}

}  // namespace
}  // namespace zelvo::test

int main(int argc, char** argv) { return zelvo::test::runProgramTests(argc, argv); }
