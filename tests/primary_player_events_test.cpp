// The reactions to the primary player's events: what playing shows, the short-clip filter, how
// a series moves on when a stream ends, stops or sits ready, and how errors reach the fallback
// player; with the interleavings that the handlers' yields and the message box allow.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "fakes/WindowHarness.h"

using ::testing::ElementsAre;
using ::testing::IsEmpty;

namespace zelvo::test {
namespace {

constexpr const char* kSeries = "http://s/ch%05%.ts";

class PrimaryPlayerEventsTest : public ::testing::Test {
 protected:
  PrimaryPlayerEventsTest() {
    h.writeFile("tv_lib.txt", {"A,mms://a/1,", "S,http://s/ch%05%.ts,", "end"});
    h.window->StartUp();
    h.log.clear();
  }
  void play(const std::string& address) {
    h.c.dz1.setText(address);
    h.c.Command2.userClicked();
    h.loop.runPending();
    h.log.clear();
  }
  void report(int state) {
    h.wmp.enter(state);
    h.loop.runPending();
  }
  std::vector<std::string> opened() const { return h.log.startingWith("wmp.URL"); }
  WindowHarness h;
};

TEST_F(PrimaryPlayerEventsTest, PlayingEnablesPauseShowsTheLengthAndLogsNewestFirst) {
  h.wmp.duration = "01:02";
  play("mms://a/1");
  report(WmpState::Playing);
  EXPECT_TRUE(h.c.Command14.enabled());
  EXPECT_EQ(h.c.Label1.caption(), "01:02");
  EXPECT_EQ(h.c.Text1.text(), "mms://a/1\r");
  play("mms://b/2");
  report(WmpState::Playing);
  EXPECT_EQ(h.c.Text1.text(), "mms://b/2\rmms://a/1\r");
  EXPECT_EQ(h.s.playingCount, 2);

  // Every other state disables pause, except paused, and shows the template in dz1.
  h.c.dz1.setText("typed");
  report(WmpState::Paused);
  EXPECT_TRUE(h.c.Command14.enabled());
  EXPECT_EQ(h.c.dz1.text(), "mms://b/2");
  report(WmpState::Buffering);
  EXPECT_FALSE(h.c.Command14.enabled());
  EXPECT_TRUE(h.s.pendingAddress.empty());  // buffering uses up the pending address
  EXPECT_THAT(h.log.calls(), IsEmpty());
}

TEST_F(PrimaryPlayerEventsTest, ShortClipFilterClosesClipsWhoseLengthSortsBeforeTheThreshold) {
  struct Case {
    bool filterOn;
    std::string threshold;
    std::string duration;
    bool closed;
  } cases[] = {
      {true, "20", "00:15", true},   {true, "20", "20:01", false}, {true, "20", "", true},
      {false, "20", "00:15", false}, {true, "05", "10:00", false}, {true, "05", "04:59", true},
      {true, "60", "62:05", false},  {true, "60", "59:59", true},
  };
  for (const auto& test : cases) {
    ASSERT_GE(h.c.Combo1.count(), 5);
    h.c.Combo1.setText(test.threshold);
    ASSERT_GE(h.c.Combo1.selectedIndex(), 0) << "every threshold is a row of the list";
    h.c.Check3.setChecked(test.filterOn);
    h.wmp.duration = test.duration;
    play("mms://a/1");
    report(WmpState::Playing);
    EXPECT_EQ(!h.log.startingWith("wmp.close").empty(), test.closed)
        << test.threshold << " " << test.duration;
  }
}

TEST_F(PrimaryPlayerEventsTest, AStreamOfASeriesThatEndsGetsTheNextNumberThroughTheDeferredOpen) {
  play(kSeries);
  report(WmpState::MediaEnded);
  EXPECT_EQ(h.s.pendingAddress, "http://s/ch07.ts");
  EXPECT_TRUE(h.c.Timer8.enabled());  // the close reported ready
  EXPECT_THAT(opened(), IsEmpty());   // never from inside the player's own event
  h.loop.advance(50);
  EXPECT_THAT(h.log.calls(), ElementsAre("wmp.close", "wmp.URL http://s/ch07.ts"));
  EXPECT_FALSE(h.c.Timer8.enabled());
  EXPECT_TRUE(h.s.pendingAddress.empty() && h.s.currentAddress.empty());
  EXPECT_EQ(h.c.dz1.text(), "http://s/ch%07%.ts");
}

TEST_F(PrimaryPlayerEventsTest, AStoppedStreamIsRetriedOnceThenTheSeriesMovesOn) {
  play(kSeries);
  report(WmpState::Buffering);
  report(WmpState::Stopped);
  h.loop.advance(50);
  report(WmpState::Stopped);
  h.loop.advance(50);
  EXPECT_THAT(opened(), ElementsAre("wmp.URL http://s/ch06.ts", "wmp.URL http://s/ch07.ts"));
  // Ready without anything pending opens the next number too.
  h.log.clear();
  report(WmpState::Ready);
  h.loop.advance(50);
  EXPECT_THAT(opened(), ElementsAre("wmp.URL http://s/ch08.ts"));
}

TEST_F(PrimaryPlayerEventsTest, NothingMovesOnAfterStopOrForAPlainAddress) {
  for (const char* address : {kSeries, "mms://a/1", "mms://a/1%"}) {
    play(address);
    if (std::string(address) == kSeries) h.c.Command9.userClicked();
    h.log.clear();
    for (int state : {WmpState::MediaEnded, WmpState::Stopped, WmpState::Ready}) {
      report(state);
      h.loop.advance(200);
    }
    EXPECT_THAT(opened(), IsEmpty()) << address;
    EXPECT_FALSE(h.c.Timer8.enabled()) << address;
  }
}

TEST_F(PrimaryPlayerEventsTest, AnErrorHandsTheAddressToTheFallbackPlayer) {
  struct Case {
    std::string address;
    int32_t code;
    std::string handedOver;
  } cases[] = {
      {"mms://a/1", WmpError::ServerNotFound, "mms://a/1"},
      {kSeries, WmpError::FileNotFound, "http://s/ch07.ts"},  // a series hands over its next number
      {"rtsp://r/live", WmpError::UnsupportedProtocol, "rtsp://r/live"},
  };
  for (const auto& test : cases) {
    play(test.address);
    h.wmp.failWith(test.code);
    h.loop.runPending();
    EXPECT_THAT(h.log.startingWith("real.setSource"),
                ElementsAre("real.setSource " + test.handedOver));
    EXPECT_EQ(h.wmp.errorCount(), 0);
    EXPECT_TRUE(h.c.RealAudio1.visible());
    EXPECT_FALSE(h.c.WindowsMediaPlayer1.visible());
    EXPECT_EQ(h.s.playerKind, PlayerKind::Real);
    // The deferred open that the ready state asked for does nothing while the fallback plays.
    h.loop.advance(200);
    EXPECT_THAT(opened(), IsEmpty());
  }
}

TEST_F(PrimaryPlayerEventsTest, ErrorMessagesOnlyWhenWantedAndNeverForAnUnknownProtocol) {
  h.c.Check1.setChecked(true);
  play("mms://a/1");
  h.wmp.failWith(WmpError::ServerNotFound, "服务器不可用");
  h.loop.runPending();
  ASSERT_EQ(h.messages.shown.size(), 1u);
  EXPECT_EQ(h.messages.shown[0].text, "服务器不可用");
  EXPECT_EQ(h.messages.shown[0].title, "Zelvo");

  play("rtsp://r/live");
  h.wmp.failWith(WmpError::UnsupportedProtocol);
  h.loop.runPending();
  EXPECT_EQ(h.messages.shown.size(), 1u);

  // An error event with an empty queue shows nothing and starts nothing.
  h.log.clear();
  h.wmp.error.raise();
  EXPECT_THAT(h.log.calls(), IsEmpty());
  EXPECT_EQ(h.messages.shown.size(), 1u);
}

TEST_F(PrimaryPlayerEventsTest, AStopWhileTheErrorMessageIsOpenStartsNothingAfterwards) {
  h.c.Check1.setChecked(true);
  h.messages.whileShown = [&] { h.c.Command9.userClicked(); };
  play(kSeries);
  h.wmp.failWith(WmpError::ServerNotFound);
  h.loop.runPending();
  h.loop.advance(500);
  EXPECT_THAT(h.log.startingWith("real.setSource"), IsEmpty());
  EXPECT_THAT(h.log.startingWith("real.doPlay"), IsEmpty());
  EXPECT_THAT(opened(), IsEmpty());
}

TEST_F(PrimaryPlayerEventsTest, AStopWhileEventsAreStillQueuedStartsNothingAfterwards) {
  play(kSeries);
  h.wmp.failWith(WmpError::ServerNotFound);  // the events wait in the queue
  h.c.Command9.userClicked();
  h.log.clear();
  h.loop.runPending();
  h.loop.advance(500);
  EXPECT_THAT(h.log.calls(), IsEmpty());
  EXPECT_TRUE(h.s.playbackStopped);
}

TEST_F(PrimaryPlayerEventsTest, ADeferredOpenInsideAStateHandlerOpensOnceAndTheHandlerSeesIt) {
  play(kSeries);
  report(WmpState::MediaEnded);
  ASSERT_TRUE(h.c.Timer8.enabled());
  // Another state change arrives; while it lets events run, the deferred open fires.
  h.loop.duringYield([&] { h.c.Timer8.fire(); });
  report(WmpState::Ready);
  EXPECT_THAT(opened(), ElementsAre("wmp.URL http://s/ch07.ts"));
  EXPECT_FALSE(h.c.Timer8.enabled());  // the handler read the new state: nothing to schedule
  h.loop.advance(200);
  EXPECT_EQ(opened().size(), 1u);
}

TEST_F(PrimaryPlayerEventsTest, TheDeferredOpenUsesPendingThenCurrentThenTheNextNumber) {
  h.c.RealAudio1.setVisible(false);
  h.c.dz1.setText(kSeries);
  h.s.lastTemplate = kSeries;  // what the state handlers put back into dz1
  h.s.pendingAddress = "p";
  h.s.currentAddress = "c";
  h.c.Timer8.setEnabled(true);
  h.loop.advance(50);
  h.c.Timer8.setEnabled(true);
  h.loop.advance(50);
  EXPECT_THAT(opened(), ElementsAre("wmp.URL p", "wmp.URL http://s/ch06.ts"));

  // With the fallback player showing, it does nothing and stays off.
  h.log.clear();
  h.s.currentAddress = "c";
  h.c.RealAudio1.setVisible(true);
  h.c.Timer8.setEnabled(true);
  h.loop.advance(50);
  EXPECT_THAT(opened(), IsEmpty());
  EXPECT_FALSE(h.c.Timer8.enabled());
  EXPECT_EQ(h.s.currentAddress, "c");
}

TEST_F(PrimaryPlayerEventsTest, ADeferredOpenStillDueNeverOpensAStartedAddressAgain) {
  // The fallback player gave up within the 50 ms of a deferred open asked for before it.
  h.c.RealAudio1.setVisible(false);
  h.c.Timer8.setEnabled(true);
  play(kSeries);
  h.loop.advance(200);
  EXPECT_THAT(opened(), IsEmpty());
  EXPECT_FALSE(h.c.Timer8.enabled());
}

TEST_F(PrimaryPlayerEventsTest, DuringAScanAPlayingRowIsRecordedAndTheNextRowPrepared) {
  std::vector<std::string> lines;
  for (int i = 0; i < 14; ++i)
    lines.push_back("N" + std::to_string(i) + ",mms://n/" + std::to_string(i) + ",");
  h.writeFile("tv_lib.txt", lines);
  h.c.tvm.clear();
  h.c.dz1.clear();
  h.window->stationFiles().LoadStationFile("tv_lib.txt");
  h.s.workMode = WorkMode::ListScan;
  h.c.dz1.setText("list%11%");
  h.window->playback().PlayAddress(h.window->expansion().ExpandAddress(h.c.dz1.text()));
  h.loop.runPending();
  h.log.clear();
  // The handler on a state other than playing put lastTemplate back into dz1: list%12%.
  report(WmpState::Playing);
  EXPECT_EQ(h.c.Text2.text(), "N12,mms://n/12,");
  EXPECT_EQ(h.c.Command3.caption(), "1");
  EXPECT_EQ(h.s.pendingAddress, "mms://n/13");
  h.loop.advance(50);
  EXPECT_THAT(h.log.calls(), ElementsAre("wmp.close", "wmp.URL mms://n/13"));
}

TEST_F(PrimaryPlayerEventsTest, PositionChangeBringsTheWindowBack) {
  h.c.form1.setWindowState(WindowState::Minimized);
  h.wmp.positionChange.raise(1, 2);
  EXPECT_EQ(h.c.form1.windowState(), WindowState::Normal);
}

}  // namespace
}  // namespace zelvo::test
