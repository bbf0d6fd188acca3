// Reopening a station after its stream dropped: which ends are reconnected, the waits between
// the tries and the players they use, the status line, what cancels it, and the recording.
#include "playback/Reconnection.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <functional>

#include "fakes/FakeAddressCheck.h"
#include "fakes/WindowHarness.h"
#include "support/ScopedEnvironment.h"

using ::testing::ElementsAreArray;
using ::testing::IsEmpty;

namespace zelvo::test {
namespace {

constexpr int kLive = 0, kWithHeaders = 1, kTemplate = 2, kOther = 3;

class ReconnectionTest : public ::testing::Test {
 public:
  ReconnectionTest() {
    h.writeFile("tv_lib.txt",
                {"Live,http://live/a.m3u8,", "Headers,http://live/b.m3u8|User-Agent=Zelvo,",
                 "Series,http://h/ch%01%.ts,", "Other,http://live/other,"});
    h.window->StartUp();
    reconnection().useAddressCheck(check);
    // Each player answers at once: the picture while the server is up, a failure while not.
    h.wmp.onOpen = [this](const std::string& address) {
      h.loop.post([this, address] {
        if (h.wmp.URL() != address) return;
        serverUp ? h.wmp.enter(WmpState::Playing) : h.wmp.failWith(WmpError::ServerNotFound);
      });
    };
    h.real.onPlay = [this](const std::string&) {
      h.loop.post([this] {
        serverUp ? h.real.enter(RealState::Playing) : h.real.failWith(kFallbackOpenFailed);
      });
    };
  }
  // The user chooses the row; it plays in the primary player, or in the fallback one. Returns
  // the address that plays.
  std::string play(int row, bool fallback = false) {
    h.c.tvm.userChoseRow(row);
    h.loop.runPending();
    if (fallback) {
      h.window->monitoring().HandOffToRealPlayer();
      h.loop.runPending();
    }
    const std::string address = tries().back().substr(tries().back().find(' ') + 1);
    h.log.clear();
    return address;
  }
  void drop(bool fallback) {
    serverUp = false;
    fallback ? h.real.failWith(kFallbackOpenFailed) : h.wmp.failWith(WmpError::Timeout);
    h.loop.runPending();
    dropAt = h.loop.now();
  }
  // Every try so far: the player and the seconds since the drop.
  std::vector<std::string> tries() const {
    std::vector<std::string> out;
    for (const std::string& call : h.log.calls()) {
      if (call.rfind("wmp.URL ", 0) == 0) out.push_back("win " + call.substr(8));
      if (call.rfind("real.setSource ", 0) == 0) out.push_back("real " + call.substr(15));
    }
    return out;
  }
  Reconnection& reconnection() { return h.window->reconnection(); }

  WindowHarness h;
  bool serverUp = true;
  long dropAt = 0;
  FakeAddressCheck check{h.loop, [this] { return serverUp; }};
};

TEST_F(ReconnectionTest, WhichEndsAreReconnected) {
  struct Case {
    const char* what;
    int row;
    bool fallback;
    std::function<void(ReconnectionTest&)> end;
    bool reconnects;
  };
  auto failPrimary = [](ReconnectionTest& t) { t.h.wmp.failWith(WmpError::Timeout); };
  auto failFallback = [](ReconnectionTest& t) { t.h.real.failWith(kFallbackOpenFailed); };
  const Case cases[] = {
      {"a live stream fails", kLive, false, failPrimary, true},
      {"an address with request headers", kWithHeaders, false, failPrimary, true},
      {"a live stream fails, fallback", kLive, true, failFallback, true},
      // Neither player answers the next addresses: a fake server that fails at once would let
      // the counter run on without end.
      {"a counter template fails", kTemplate, false,
       [](ReconnectionTest& t) {
         t.h.wmp.onOpen = nullptr;
         t.h.real.onPlay = nullptr;
         t.h.wmp.failWith(WmpError::Timeout);
       },
       false},
      {"a stream without length ends", kLive, false,
       [](ReconnectionTest& t) { t.h.wmp.enter(WmpState::MediaEnded); }, true},
      {"a clip reaches the end of its length", kLive, false,
       [](ReconnectionTest& t) {
         t.h.wmp.duration = "01:30";
         t.h.wmp.enter(WmpState::MediaEnded);
       },
       false},
      {"a stream without length stops, fallback", kLive, true,
       [](ReconnectionTest& t) { t.h.real.enter(RealState::Stopped); }, true},
      {"a clip reaches the end of its length, fallback", kLive, true,
       [](ReconnectionTest& t) {
         t.h.real.length = 90000;
         t.h.real.enter(RealState::Stopped);
       },
       false},
      {"a clip breaks off before its end, fallback", kLive, true,
       [](ReconnectionTest& t) {
         t.h.real.length = 90000;
         t.h.real.failWith(kFallbackOpenFailed);
       },
       true},
  };
  const auto answerPrimary = h.wmp.onOpen;
  const auto answerFallback = h.real.onPlay;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    h.wmp.onOpen = answerPrimary;
    h.real.onPlay = answerFallback;
    h.wmp.duration.clear();
    h.real.length = 0;
    serverUp = true;
    const std::string address = play(c.row, c.fallback);
    serverUp = false;
    c.end(*this);
    h.loop.runPending();
    serverUp = true;
    EXPECT_EQ(reconnection().reconnecting(), c.reconnects);
    EXPECT_EQ(h.c.l.caption() == reconnectingCaption(1), c.reconnects);
    h.log.clear();
    h.loop.advance(1000);
    if (!c.reconnects) {
      EXPECT_THAT(tries(), testing::Not(testing::Contains(testing::EndsWith(" " + address))));
      continue;
    }
    // The same address, in the player that played it, and the status line is cleared.
    EXPECT_THAT(tries(), ElementsAreArray({std::string(c.fallback ? "real " : "win ") + address}));
    EXPECT_FALSE(reconnection().reconnecting());
    EXPECT_NE(h.c.l.caption().rfind(kReconnectingPrefix, 0), 0u);
    EXPECT_EQ(c.fallback ? h.real.state : h.wmp.state,
              c.fallback ? RealState::Playing : WmpState::Playing);
  }
}

TEST_F(ReconnectionTest, TheWaitsDoubleUpToHalfAMinuteAndThePlayersTakeTurns) {
  for (bool fallback : {false, true}) {
    SCOPED_TRACE(fallback ? "played in the fallback player" : "played in the primary player");
    h.log.clear();
    play(kLive, fallback);
    drop(fallback);
    std::vector<std::string> seen;
    std::vector<std::string> expected;
    const char* first = fallback ? "real " : "win ";
    const char* other = fallback ? "win " : "real ";
    long at = 0;
    long wait = 1;
    for (int n = 1; n <= 8; ++n) {
      at += wait;
      wait = std::min(wait * 2, 30L);
      expected.push_back(std::string(n % 2 ? first : other) + std::to_string(at) + " s");
    }
    for (long second = 1; second <= at; ++second) {
      const size_t before = tries().size();
      h.loop.advance(1000);
      // A failure in the primary player hands the address to the fallback one as well.
      if (tries().size() > before) {
        const std::string opened = tries()[before];
        seen.push_back(opened.substr(0, opened.find(' ') + 1) +
                       std::to_string((h.loop.now() - dropAt) / 1000) + " s");
        EXPECT_EQ(h.c.l.caption(), reconnectingCaption(static_cast<int>(seen.size()) + 1));
      }
    }
    EXPECT_THAT(seen, ElementsAreArray(expected));

    // Tries go on every 30 s until half an hour has passed, then the status line says so.
    h.loop.advance(30 * 60 * 1000);
    const size_t all = tries().size();
    EXPECT_GE(all, 8u + (1800u - 151u) / 30u);
    EXPECT_FALSE(reconnection().reconnecting());
    EXPECT_EQ(h.c.l.caption(), kReconnectionGaveUp);
    h.loop.advance(60 * 60 * 1000);
    EXPECT_EQ(tries().size(), all);

    // Once the server answers, the next try brings the picture back.
    serverUp = true;
    h.c.tvm.userChoseRow(kOther);
    h.loop.runPending();
  }
}

TEST_F(ReconnectionTest, AnyUserActionCancelsIt) {
  struct Case {
    const char* what;
    std::function<void(ReconnectionTest&)> act;
    bool scan;  // the scan itself plays every station of the list
  };
  const Case cases[] = {
      {"停止", [](ReconnectionTest& t) { t.h.c.Command9.userClicked(); }, false},
      {"another station", [](ReconnectionTest& t) { t.h.c.tvm.userChoseRow(kOther); }, false},
      {"向上", [](ReconnectionTest& t) { t.h.c.Command4.userClicked(); }, false},
      {"向下", [](ReconnectionTest& t) { t.h.c.Command5.userClicked(); }, false},
      {"closing the window", [](ReconnectionTest& t) { t.h.c.form1.userClosed(); }, false},
  };
  const auto answer = h.wmp.onOpen;
  const auto answerFallback = h.real.onPlay;
  for (const Case& c : cases) {
    for (bool duringTry : {false, true}) {
      SCOPED_TRACE(std::string(c.what) + (duringTry ? " while a try runs" : " while waiting"));
      h.wmp.onOpen = answer;
      h.real.onPlay = answerFallback;
      serverUp = true;
      play(kWithHeaders);
      // A try that never answers: the server takes connections and says nothing.
      h.wmp.onOpen = nullptr;
      drop(false);
      if (duringTry) h.loop.advance(1000);
      ASSERT_TRUE(reconnection().reconnecting());
      c.act(*this);
      h.loop.runPending();
      EXPECT_FALSE(reconnection().reconnecting());
      EXPECT_NE(h.c.l.caption().rfind(kReconnectingPrefix, 0), 0u);
      h.log.clear();
      h.loop.advance(10 * 60 * 1000);
      if (!c.scan) {
        EXPECT_THAT(tries(), testing::Not(testing::Contains(testing::HasSubstr("/b.m3u8"))));
      }
      EXPECT_NE(h.c.l.caption().rfind(kReconnectingPrefix, 0), 0u);
    }
  }
}

TEST_F(ReconnectionTest, TheNextTryStartsAsSoonAsTheServerAnswersAgain) {
  const std::string address = play(kWithHeaders);
  drop(false);
  // Tries after 1, 3, 7 and 15 s; the next one is due at 31 s.
  h.loop.advance(20 * 1000);
  const size_t before = tries().size();
  EXPECT_THAT(check.looked, testing::Each(address));
  serverUp = true;
  h.loop.advance(1000);
  ASSERT_EQ(tries().size(), before + 1);
  EXPECT_THAT(tries().back(), testing::EndsWith(" " + address));
  EXPECT_FALSE(reconnection().reconnecting());
  EXPECT_NE(h.c.l.caption().rfind(kReconnectingPrefix, 0), 0u);
  // Nothing is looked at once it plays.
  const size_t looks = check.looked.size();
  h.loop.advance(60 * 1000);
  EXPECT_EQ(check.looked.size(), looks);
}

// Apart from the table: the scan replaces the station list, so no station of it plays after.
TEST_F(ReconnectionTest, AScanCancelsIt) {
  play(kWithHeaders);
  // Neither player answers, neither the tries nor the scan's stations, whose counter would
  // otherwise run on without end against a server that fails at once.
  h.wmp.onOpen = nullptr;
  h.real.onPlay = nullptr;
  drop(false);
  h.loop.advance(1000);
  ASSERT_TRUE(reconnection().reconnecting());
  h.c.Command10.userClicked();
  h.loop.runPending();
  EXPECT_FALSE(reconnection().reconnecting());
  h.log.clear();
  h.loop.advance(10 * 60 * 1000);
  EXPECT_THAT(tries(), testing::Not(testing::Contains(testing::HasSubstr("/b.m3u8"))));
  EXPECT_NE(h.c.l.caption().rfind(kReconnectingPrefix, 0), 0u);
}

TEST_F(ReconnectionTest, ARecordingEndsWithTheDropAndGoesOnInANewFile) {
  TempFolder videos;
  ScopedEnvironment videosFolder("XDG_VIDEOS_DIR", videos.path().c_str());
  Recording& recording = h.window->recording();
  for (bool fallback : {false, true}) {
    SCOPED_TRACE(fallback ? "fallback" : "primary");
    play(kLive, fallback);
    h.c.form1.userShortcut("Ctrl+R");
    h.loop.runPending();
    ASSERT_TRUE(recording.recording());
    const std::string firstFile = recording.file();
    drop(fallback);
    EXPECT_FALSE(recording.recording());
    EXPECT_TRUE(std::filesystem::exists(firstFile));
    serverUp = true;
    h.loop.advance(1000);
    ASSERT_TRUE(recording.recording());
    EXPECT_NE(recording.file(), firstFile);
    h.c.form1.userShortcut("Ctrl+R");
    h.loop.runPending();
    // A station that drops while nothing records does not start recording.
    drop(fallback);
    serverUp = true;
    h.loop.advance(1000);
    EXPECT_FALSE(recording.recording());
  }
}

}  // namespace
}  // namespace zelvo::test
