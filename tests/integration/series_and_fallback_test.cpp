// The real program offscreen with both real players on loopback: an RTSP station that the primary
// player cannot open plays in the fallback player; a series whose first numbers are missing
// walks on to the first live one; and the stop button ends every move to a next number.
#include <gtest/gtest.h>

#include <QApplication>
#include <filesystem>

#include "platform/mpv/MpvRealPlayer.h"
#include "platform/vlc/VlcWindowsMediaPlayer.h"
#include "program/Composition.h"
#include "support/Clips.h"
#include "support/GbkFiles.h"
#include "support/IntegrationMain.h"
#include "support/LoopbackHttpServer.h"
#include "support/LoopbackRtspServer.h"
#include "support/QuietComponents.h"
#include "support/TempFolder.h"

namespace zelvo::test {
namespace {

constexpr int kBoundMs = 30000;

void writeLibrary(const TempFolder& app, const std::string& name, const std::string& address) {
  writeGbkLines(app.file("tv_lib.txt"), {name + "," + address + ",-999,假,假", "end"});
}

TEST(SeriesAndFallback, AnRtspStationPlaysInTheFallbackPlayer) {
  LoopbackRtspServer rtsp;
  TempFolder app;
  writeLibrary(app, "实时台", rtsp.url());
  ZelvoApplication zelvo(app.path(), quietComponents(10000));
  zelvo.start();
  ASSERT_FALSE(zelvo.endRequested());
  FormControls& c = zelvo.window().controls();

  c.Command2.userClicked();
  ASSERT_TRUE(waitUntil([&] { return zelvo.fallbackPlayer().playState() == RealState::Playing; },
                        kBoundMs));
  EXPECT_TRUE(c.RealAudio1.visible());
  EXPECT_FALSE(c.WindowsMediaPlayer1.visible());
  EXPECT_EQ(zelvo.window().state().playerKind, PlayerKind::Real);
  EXPECT_EQ(zelvo.fallbackPlayer().source(), rtsp.url());
  processEventsFor(300);
  EXPECT_TRUE(c.Command14.enabled());
  EXPECT_EQ(c.Text1.text().rfind(rtsp.url() + "\r", 0), 0u);  // logged, newest first

  c.Command9.userClicked();
  processEventsFor(500);
  EXPECT_EQ(zelvo.fallbackPlayer().playState(), RealState::Stopped);
}

TEST(SeriesAndFallback, ASeriesWalksPastMissingNumbersToTheFirstLiveOne) {
  TempFolder media;
  std::filesystem::rename(media.file(makeClip(media.path(), 20)), media.file("ch07.ts"));
  LoopbackHttpServer server(media.path());
  TempFolder app;
  writeLibrary(app, "系列", server.url("ch%00%.ts"));
  ZelvoApplication zelvo(app.path(), quietComponents(10000));
  zelvo.start();
  FormControls& c = zelvo.window().controls();

  c.Command2.userClicked();
  // ch01 to ch06 answer 404, in one player or the other; ch07 plays in the primary player.
  ASSERT_TRUE(
      waitUntil([&] { return zelvo.primaryPlayer().playState() == WmpState::Playing; }, kBoundMs));
  EXPECT_EQ(zelvo.primaryPlayer().sourceURL(), server.url("ch07.ts"));
  processEventsFor(300);
  EXPECT_EQ(c.dz1.text(), server.url("ch%07%.ts"));
  EXPECT_EQ(zelvo.fallbackPlayer().playState(), RealState::Stopped);
}

TEST(SeriesAndFallback, StopEndsEveryMoveToANextNumber) {
  TempFolder media;
  LoopbackHttpServer server(media.path());  // every number is missing
  TempFolder app;
  writeLibrary(app, "死", server.url("n%0000%.ts"));
  ZelvoApplication zelvo(app.path(), quietComponents(10000));
  zelvo.start();
  FormControls& c = zelvo.window().controls();
  const SharedState& s = zelvo.window().state();

  c.Command2.userClicked();
  ASSERT_TRUE(waitUntil([&] { return s.lastTemplate >= server.url("n%0004%.ts"); }, kBoundMs));
  c.Command9.userClicked();
  const std::string stoppedAt = s.lastTemplate;
  processEventsFor(3000);
  EXPECT_EQ(s.lastTemplate, stoppedAt);
  EXPECT_NE(zelvo.primaryPlayer().playState(), WmpState::Transitioning);
  EXPECT_EQ(zelvo.fallbackPlayer().playState(), RealState::Stopped);
  EXPECT_TRUE(s.playbackStopped);
}

}  // namespace
}  // namespace zelvo::test

int main(int argc, char** argv) { return zelvo::test::runIntegrationTests(argc, argv); }
