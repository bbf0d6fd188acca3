// The reactions to the fallback player's events: what playing shows, and how a series moves on
// when the fallback player stops, fails or falls back into buffering.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "fakes/WindowHarness.h"
#include "playback/FallbackPlayerEvents.h"

using ::testing::ElementsAre;
using ::testing::IsEmpty;

namespace zelvo::test {
namespace {

constexpr const char* kSeries = "http://s/ch%05%.ts";

class FallbackPlayerEventsTest : public ::testing::Test {
 protected:
  FallbackPlayerEventsTest() {
    h.writeFile("tv_lib.txt", {"A,mms://a/1,", "S,http://s/ch%05%.ts,", "end"});
    h.window->StartUp();
  }
  // Plays the address; the primary player fails, so the fallback player gets it (for a
  // series, its next number) and reaches the given state.
  void handOver(const std::string& address, int state = RealState::Playing) {
    h.c.dz1.setText(address);
    h.c.Command2.userClicked();
    failPrimaryAndReport(state);
    h.log.clear();
  }
  void failPrimaryAndReport(int state) {
    h.loop.runPending();  // the primary player says it is opening before it fails
    h.wmp.failWith(WmpError::ServerNotFound);
    h.loop.runPending();
    h.loop.advance(100);  // the fallback player takes a moment to report
    report(state);
  }
  void report(int state) {
    h.real.enter(state);
    h.loop.runPending();
  }
  std::vector<std::string> opened() const { return h.log.startingWith("wmp.URL"); }
  WindowHarness h;
};

TEST_F(FallbackPlayerEventsTest, PlayingShowsTheLengthEnablesPauseAndLogsTheSource) {
  struct Case {
    int32_t lengthMs;
    std::string shown;
  } cases[] = {{3725000, "1:2:5"},      {0, "0:0:0"},          {1500, "0:0:2"},
               {2500, "0:0:2"},         {35999000, "9:59:59"}, {36000000, "10:0:0"},
               {100000000, "27:46:40"}, {-5000, "0:0:0"}};
  for (const auto& test : cases) {
    h.real.length = test.lengthMs;
    handOver("mms://a/1");
    EXPECT_EQ(h.c.Label1.caption(), test.shown) << test.lengthMs;
    EXPECT_TRUE(h.c.Command14.enabled());
  }
  EXPECT_EQ(h.c.Text1.text().substr(0, 10), "mms://a/1\r");
  // A length that cannot be read leaves the last one on show.
  h.failures.failOn("real.lengthMs");
  handOver("mms://a/1");
  EXPECT_EQ(h.c.Label1.caption(), "0:0:0");

  report(RealState::Paused);
  EXPECT_TRUE(h.c.Command14.enabled());
  report(RealState::Buffering);
  EXPECT_FALSE(h.c.Command14.enabled());
}

TEST_F(FallbackPlayerEventsTest, ASeriesMovesOnWhenTheFallbackPlayerStopsOrFails) {
  handOver(kSeries);  // the fallback player plays ch07
  report(RealState::Stopped);
  EXPECT_THAT(opened(), ElementsAre("wmp.URL http://s/ch08.ts"));
  EXPECT_FALSE(h.c.RealAudio1.visible());

  // A failure raises an error and a stop: the series moves on by one number, not two.
  handOver(kSeries);
  h.real.failWith(kFallbackOpenFailed);
  h.loop.runPending();
  h.loop.advance(200);
  EXPECT_EQ(opened().size(), 1u);
}

TEST_F(FallbackPlayerEventsTest, FallingBackIntoBufferingStopsTheStreamUnlessItIsContacting) {
  struct Case {
    std::string status;
    int16_t workMode;
    bool movesOn;
  } cases[] = {{"Buffering", WorkMode::Playing, true},
               {"COMMUNICATING", WorkMode::Playing, false},
               {"Buffering", WorkMode::ListScan, false}};
  for (const auto& test : cases) {
    handOver(kSeries);
    h.s.workMode = test.workMode;
    h.real.status = test.status;
    report(RealState::Buffering);
    EXPECT_EQ(!h.log.startingWith("real.doStop").empty(), test.movesOn) << test.status;
    EXPECT_EQ(opened().size(), test.movesOn ? 1u : 0u) << test.status;
  }
}

TEST_F(FallbackPlayerEventsTest, NothingMovesOnForAPlainAddressAfterStopOrForTheIgnoredCode) {
  handOver("mms://a/1");
  report(RealState::Stopped);
  handOver(kSeries);
  h.real.errorMessage.raise(1, kRealIgnoredError, 0, "", "", "");
  h.real.stateChange.raise(RealState::Stopped, RealState::Stopped);
  h.loop.runPending();
  h.c.Command9.userClicked();
  report(RealState::Playing);
  report(RealState::Stopped);
  h.real.failWith(kFallbackOpenFailed);
  h.loop.runPending();
  h.loop.advance(500);
  EXPECT_THAT(opened(), IsEmpty());
}

TEST_F(FallbackPlayerEventsTest, DuringAScanAPlayingRowIsRecordedAndTheNextRowTried) {
  std::vector<std::string> lines;
  for (int i = 0; i < 8; ++i)
    lines.push_back("N" + std::to_string(i) + ",mms://n/" + std::to_string(i) + ",");
  h.writeFile("tv_lib.txt", lines);
  h.c.tvm.clear();
  h.c.dz1.clear();
  h.window->stationFiles().LoadStationFile("tv_lib.txt");
  h.s.workMode = WorkMode::ListScan;
  h.c.dz1.setText("list%3%");
  h.window->playback().PlayAddress(h.window->expansion().ExpandAddress(h.c.dz1.text()));
  h.log.clear();
  failPrimaryAndReport(RealState::Playing);  // row 4 failed, row 5 plays in the fallback player
  EXPECT_EQ(h.c.Text2.text(), "N5,mms://n/5,");
  // Recorded, stopped, and on to row 6 in the primary player.
  EXPECT_THAT(h.log.startingWith("real.setSource"), ElementsAre("real.setSource mms://n/5"));
  const std::vector<std::string> tail(h.log.calls().end() - 6, h.log.calls().end());
  EXPECT_THAT(tail, ElementsAre("real.doStop", "real.clearQueuedClips", "real.doStop", "wmp.stop",
                                "wmp.clearErrorQueue", "wmp.URL mms://n/6"));
}

TEST_F(FallbackPlayerEventsTest, AnOpenedClipShowsItsPictureAndBufferingBringsTheWindowBack) {
  handOver("mms://a/1");
  h.real.raiseOpened(2);
  h.real.raiseOpened(1);
  h.loop.runPending();
  EXPECT_THAT(h.log.calls(), ElementsAre("real.showImageWindow"));
  h.c.form1.setWindowState(WindowState::Minimized);
  h.real.bufferingProgress.raise(0, 50);
  EXPECT_EQ(h.c.form1.windowState(), WindowState::Normal);
}

}  // namespace
}  // namespace zelvo::test
