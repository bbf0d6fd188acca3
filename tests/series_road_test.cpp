// The road of a counter template through both players, from the play button to the stop button:
// every number that fails, ends or falls back into buffering is followed by the next one, in
// either player, with the players called in exactly this order.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "fakes/WindowHarness.h"

using ::testing::ElementsAre;
using ::testing::IsEmpty;

namespace zelvo::test {
namespace {

TEST(SeriesRoad, ACounterTemplateWalksThroughBothPlayersUntilTheUserStops) {
  WindowHarness h;
  h.writeFile("tv_lib.txt", {"系列,http://s/ch%05%.ts,-999,假,假", "end"});
  h.window->StartUp();
  h.log.clear();
  // What the servers do with each number: ch06 and ch09 are missing, ch07 is refused by the
  // fallback player too, ch08 plays to its end, ch10 plays in the fallback player and stalls.
  // The outcome comes after the player has said it is opening, as a server's answer would.
  h.wmp.onOpen = [&](const std::string& address) {
    h.loop.post([&, address] {
      if (address == "http://s/ch08.ts" || address == "http://s/ch11.ts") {
        h.wmp.enter(WmpState::Buffering);
        h.wmp.enter(WmpState::Playing);
      } else {
        h.wmp.failWith(WmpError::FileNotFound);
      }
    });
  };
  h.real.onPlay = [&](const std::string& source) {
    h.loop.post([&, source] {
      if (source == "http://s/ch07.ts") h.real.failWith(kFallbackOpenFailed);
      if (source == "http://s/ch10.ts") h.real.enter(RealState::Playing);
    });
  };
  auto wait = [&](long ms) { h.loop.advance(ms); };

  h.c.Command2.userClicked();
  wait(100);  // ch06 fails, ch07 fails in the fallback player, ch08 plays
  EXPECT_EQ(h.wmp.URL(), "http://s/ch08.ts");
  EXPECT_EQ(h.wmp.state, WmpState::Playing);
  h.wmp.enter(WmpState::MediaEnded);
  wait(100);  // ch09 fails, ch10 plays in the fallback player
  EXPECT_EQ(h.real.state, RealState::Playing);
  h.real.status = "Buffering";
  h.real.enter(RealState::Buffering);
  wait(100);  // ch10 stalls and is stopped; ch11 plays
  EXPECT_EQ(h.wmp.state, WmpState::Playing);

  const std::vector<std::string> startOf = {"real.clearQueuedClips", "real.doStop", "wmp.stop",
                                            "wmp.clearErrorQueue"};
  std::vector<std::string> expected;
  auto primary = [&](const std::string& n) {
    expected.insert(expected.end(), startOf.begin(), startOf.end());
    expected.push_back("wmp.URL http://s/ch" + n + ".ts");
  };
  auto handOff = [&](const std::string& n) {
    for (const char* call : {"wmp.clearErrorQueue", "wmp.clearErrorQueue", "wmp.stop", "wmp.close"})
      expected.push_back(call);
    for (std::string call : {"real.setSource http://s/ch" + n + ".ts",
                             std::string("real.setAutoStart 1"), std::string("real.doPlay")})
      expected.push_back(call);
  };
  primary("06");
  handOff("07");
  primary("08");
  expected.push_back("wmp.close");  // ch08 ended: closed, then the deferred open
  expected.push_back("wmp.URL http://s/ch09.ts");
  handOff("10");
  expected.push_back("real.doStop");  // ch10 fell back into buffering
  primary("11");
  EXPECT_EQ(h.log.calls(), expected);

  // Stop ends the series at once, even with the player's news of ch11 still on its way.
  h.wmp.enter(WmpState::MediaEnded);
  h.c.Command9.userClicked();
  h.log.clear();
  wait(1000);
  EXPECT_THAT(h.log.calls(), IsEmpty());
  EXPECT_EQ(h.c.dz1.text(), "http://s/ch%11%.ts");
}

TEST(SeriesRoad, ASeriesOfDeadNumbersWalksOnOneAtATimeAndStopEndsItAtOnce) {
  WindowHarness h;
  h.writeFile("tv_lib.txt", {"死,http://dead/%00%.ts,", "end"});
  h.window->StartUp();
  // Each server refuses 30 ms after it was asked.
  h.wmp.onOpen = [&](const std::string&) {
    h.loop.postAfter(30, [&] { h.wmp.failWith(WmpError::ServerNotFound); });
  };
  h.real.onPlay = [&](const std::string&) {
    h.loop.postAfter(30, [&] { h.real.failWith(kFallbackOpenFailed); });
  };
  h.c.Command2.userClicked();
  h.loop.advance(300);
  // Each number is tried once in one player: 01, 03, ... in the primary, 02, 04, ... handed on.
  const auto primary = h.log.startingWith("wmp.URL");
  const auto fallback = h.log.startingWith("real.setSource");
  ASSERT_GE(primary.size(), 3u);
  for (size_t i = 0; i < primary.size(); ++i) {
    EXPECT_EQ(primary[i], "wmp.URL http://dead/" + std::string(i < 5 ? "0" : "") +
                              std::to_string(2 * i + 1) + ".ts");
  }
  for (size_t i = 0; i < fallback.size(); ++i) {
    EXPECT_EQ(fallback[i], "real.setSource http://dead/" + std::string(i < 4 ? "0" : "") +
                               std::to_string(2 * i + 2) + ".ts");
  }
  h.c.Command9.userClicked();
  h.log.clear();
  h.loop.advance(2000);
  EXPECT_THAT(h.log.startingWith("wmp.URL"), IsEmpty());
  EXPECT_THAT(h.log.startingWith("real.doPlay"), IsEmpty());
}

}  // namespace
}  // namespace zelvo::test
