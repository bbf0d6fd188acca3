// Starting and stopping stations: the exact order of player calls, the browser path, and the
// play, up, down and pause buttons.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "fakes/WindowHarness.h"

using ::testing::ElementsAre;

namespace zelvo::test {
namespace {

class PlaybackTest : public ::testing::Test {
 protected:
  PlaybackTest() {
    h.writeFile("tv_lib.txt", {"A,mms://a/1,", "B,http://b/ch%05%.ts,", "C,http://c/3,", "end"});
    h.window->StartUp();
    h.log.clear();
  }
  WindowHarness h;
};

TEST_F(PlaybackTest, PlayAddressStopsTheFallbackThenOpensTheAddress) {
  h.window->playback().PlayAddress("mms://a/1");
  EXPECT_THAT(h.log.calls(), ElementsAre("real.clearQueuedClips", "real.doStop", "wmp.stop",
                                         "wmp.clearErrorQueue", "wmp.URL mms://a/1"));
  EXPECT_EQ(h.s.playerKind, PlayerKind::Win);
  EXPECT_EQ(h.s.pendingAddress, "mms://a/1");
  EXPECT_EQ(h.s.currentAddress, "mms://a/1");
  EXPECT_FALSE(h.s.playbackStopped);
  EXPECT_TRUE(h.c.WindowsMediaPlayer1.visible());
  EXPECT_FALSE(h.c.RealAudio1.visible());
}

TEST_F(PlaybackTest, APageGoesToTheBrowserAfterStoppingEverything) {
  h.s.playerKind = PlayerKind::Real;
  h.c.Timer8.setEnabled(true);
  h.c.Command14.setEnabled(true);
  h.window->playback().PlayAddress("http://x/index.HTML");
  EXPECT_THAT(h.log.calls(), ElementsAre("wmp.stop", "wmp.close", "real.doStop", "browser.stop",
                                         "browser.navigate http://x/index.HTML"));
  EXPECT_TRUE(h.c.WebBrowser1.visible());
  EXPECT_FALSE(h.c.WindowsMediaPlayer1.visible());
  EXPECT_FALSE(h.c.Command14.enabled());
  EXPECT_FALSE(h.c.Timer8.enabled());
  EXPECT_TRUE(h.s.playbackStopped);
  EXPECT_EQ(h.s.playerKind, PlayerKind::Real);
}

TEST_F(PlaybackTest, FailingPlayerCallsSkipOnlyTheirStep) {
  h.failures.failOn("real.doStop");
  h.failures.failOn("wmp.stop");
  h.window->playback().PlayAddress("mms://a/1");
  EXPECT_EQ(h.log.calls().back(), "wmp.URL mms://a/1");

  // StopAll gives up at its first failure, and a page still reaches the browser.
  h.log.clear();
  h.window->playback().PlayAddress("http://x/a.htm");
  EXPECT_THAT(h.log.calls(), ElementsAre("wmp.stop", "browser.navigate http://x/a.htm"));
  EXPECT_TRUE(h.s.playbackStopped);
}

TEST_F(PlaybackTest, FallbackPlayerClosesThePrimaryAndLetsEventsRun) {
  h.s.pendingAddress = "p";
  std::string lastCallAtYield;
  h.loop.duringYield([&] { lastCallAtYield = h.log.calls().back(); });
  h.window->playback().PlayWithRealPlayer("rtsp://r/1");
  EXPECT_THAT(h.log.calls(), ElementsAre("wmp.stop", "wmp.close", "real.setSource rtsp://r/1",
                                         "real.setAutoStart 1", "real.doPlay"));
  EXPECT_EQ(h.s.playerKind, PlayerKind::Real);
  EXPECT_EQ(h.s.pendingAddress, "p");
  EXPECT_TRUE(h.c.RealAudio1.visible());
  EXPECT_FALSE(h.c.WindowsMediaPlayer1.visible());
  EXPECT_EQ(lastCallAtYield, "real.doPlay");  // events run once the player was started
}

TEST_F(PlaybackTest, PlayButtonExpandsTheCurrentAddress) {
  h.s.workMode = -10;
  h.c.dz1.setText("http://b/ch%05%.ts");
  h.c.Command2.userClicked();
  EXPECT_EQ(h.log.calls().back(), "wmp.URL http://b/ch06.ts");
  EXPECT_EQ(h.s.lastTemplate, "http://b/ch%06%.ts");
  EXPECT_EQ(h.s.workMode, 10);
}

TEST_F(PlaybackTest, UpAndDownMoveThroughTheListAndStopAtItsEnds) {
  h.c.Command5.userClicked();
  EXPECT_EQ(h.c.tvm.text(), "B");
  EXPECT_EQ(h.log.calls().back(), "wmp.URL http://b/ch06.ts");
  h.c.Command5.userClicked();
  EXPECT_EQ(h.c.dz1.text(), "http://c/3");
  h.log.clear();
  h.c.Command5.userClicked();  // last row: stays, plays nothing
  EXPECT_EQ(h.c.tvm.text(), "C");
  EXPECT_TRUE(h.log.calls().empty());

  h.c.tvm.setText("a");  // letter case is ignored
  h.c.Command4.userClicked();
  EXPECT_EQ(h.c.tvm.text(), "a");
  EXPECT_TRUE(h.log.calls().empty());
}

TEST_F(PlaybackTest, UpWithAnUnknownNameHidesTheAddressAndPlaysNothing) {
  h.c.dz1.setVisible(true);
  h.c.tvm.setText("typed");
  h.c.Command4.userClicked();
  EXPECT_FALSE(h.c.dz1.visible());
  EXPECT_THAT(h.log.calls(), ElementsAre("wmp.playCount 10"));
}

TEST_F(PlaybackTest, PauseAndContinueFollowThePlayerInUse) {
  struct Case {
    int state;
    std::string caption;
    std::vector<std::string> calls;
    std::string newCaption;
  } cases[] = {
      {10, "暂停", {"real.doPause"}, "继续"},
      {10, "继续", {"wmp.play", "real.doPlay"}, "暂停"},
      {3, "暂停", {"wmp.pause", "real.doPause"}, "继续"},
      {2, "继续", {"wmp.play"}, "暂停"},
  };
  for (const auto& test : cases) {
    h.log.clear();
    h.wmp.state = test.state;
    h.c.Command14.setEnabled(true);
    h.c.Command14.setCaption(test.caption);
    h.c.Command14.userClicked();
    EXPECT_EQ(h.log.calls(), test.calls);
    EXPECT_EQ(h.c.Command14.caption(), test.newCaption);
  }
  // A failing step leaves the caption as it was.
  h.failures.failOn("real.doPause");
  h.wmp.state = 10;
  h.c.Command14.setCaption("暂停");
  h.c.Command14.userClicked();
  EXPECT_EQ(h.c.Command14.caption(), "暂停");
}

}  // namespace
}  // namespace zelvo::test
