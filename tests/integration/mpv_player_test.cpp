// The mpv fallback player against clips, playlists and misbehaving servers on loopback:
// what its states, status text and failure events tell the caller.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "fakes/TempFolder.h"
#include "platform/mpv/MediaAddress.h"
#include "platform/mpv/MpvRealPlayer.h"
#include "support/Clips.h"
#include "support/IntegrationMain.h"
#include "support/LoopbackHttpServer.h"

namespace zelvo {
namespace {

using test::LoopbackHttpServer;
using test::processEventsFor;
using test::waitUntil;

constexpr int kGenerousMs = 20000;
// An rmaCode that stands for something else in the system; failures must never look like it.
constexpr int32_t kReservedCode = static_cast<int32_t>(0x800400CEu);

struct Failure {
  int32_t code;
  std::string detail;
};

// A player with its events written down, as the caller would see them.
struct WatchedPlayer {
  explicit WatchedPlayer(int watchdogMs = 15000)
      : player(MpvRealPlayer::Options{watchdogMs, {{"vo", "null"}, {"ao", "null"}}}) {
    player.stateChange.connect([this](int from, int to) {
      transitions.push_back({from, to});
      if (to == RealState::Contacting) statusWhileContacting = player.lastStatus();
    });
    player.errorMessage.connect(
        [this](int32_t, int32_t code, int32_t, std::string, std::string, std::string detail) {
          failures.push_back({code, detail});
          stateWhenFailed = player.playState();
        });
  }
  int lastState() const { return transitions.empty() ? -1 : transitions.back().second; }
  bool endedStopped() const { return lastState() == RealState::Stopped; }

  MpvRealPlayer player;
  std::vector<std::pair<int, int>> transitions;
  std::vector<Failure> failures;
  std::string statusWhileContacting;
  int stateWhenFailed = -1;
};

class MpvPlayerTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    folder_ = new test::TempFolder;
    shortClip_ = test::makeClip(folder_->path(), 3.0);
    longClip_ = test::makeClip(folder_->path(), 8.0);
    server_ = new LoopbackHttpServer(folder_->path());
  }
  static void TearDownTestSuite() {
    delete server_;
    delete folder_;
  }

  static test::TempFolder* folder_;
  static LoopbackHttpServer* server_;
  static std::string shortClip_;
  static std::string longClip_;
};

test::TempFolder* MpvPlayerTest::folder_ = nullptr;
LoopbackHttpServer* MpvPlayerTest::server_ = nullptr;
std::string MpvPlayerTest::shortClip_;
std::string MpvPlayerTest::longClip_;

TEST_F(MpvPlayerTest, PlaysAClipFromTheServerToItsEnd) {
  WatchedPlayer watched;
  MpvRealPlayer& player = watched.player;
  player.setSource(server_->url(shortClip_));
  QElapsedTimer clock;
  clock.start();
  player.doPlay();
  ASSERT_TRUE(waitUntil([&] { return player.playState() == RealState::Playing; }, kGenerousMs))
      << "state " << player.playState() << ", status " << player.lastStatus();
  std::cout << "[ measured ] doPlay to playing: " << clock.elapsed() << " ms\n";

  EXPECT_EQ(watched.transitions.front(), std::make_pair(RealState::Stopped, RealState::Contacting));
  EXPECT_EQ(watched.statusWhileContacting, kRealStatusContacting);
  EXPECT_EQ(player.lastStatus(), "Playing");
  EXPECT_NEAR(player.lengthMs(), 3000, 500);
  EXPECT_EQ(player.source(), server_->url(shortClip_));

  ASSERT_TRUE(waitUntil([&] { return player.playState() == RealState::Stopped; }, kGenerousMs));
  EXPECT_TRUE(watched.failures.empty()) << watched.failures.front().detail;
  EXPECT_EQ(player.lastStatus(), "Stopped");
  EXPECT_EQ(watched.transitions.back(), std::make_pair(RealState::Playing, RealState::Stopped));
}

TEST_F(MpvPlayerTest, UnplayableAddressesEndInAFailure) {
  const struct {
    const char* what;
    std::string address;
    int32_t code;
  } cases[] = {
      {"empty address", "", MpvRealError::BadAddress},
      {"blank address", "   ", MpvRealError::BadAddress},
      {"host missing", "http:///clip.ts", MpvRealError::BadAddress},
      {"refused port", "http://127.0.0.1:" + std::to_string(test::refusedPort()) + "/" + shortClip_,
       MpvRealError::OpenFailed},
      {"missing file", server_->url("missing.ts"), MpvRealError::OpenFailed},
      {"asx not found", server_->url("missing.asx"), MpvRealError::PlaylistFailed},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    WatchedPlayer watched;
    watched.player.setSource(c.address);
    watched.player.doPlay();
    ASSERT_TRUE(waitUntil([&] { return !watched.failures.empty() && watched.endedStopped(); },
                          kGenerousMs));
    ASSERT_EQ(watched.failures.size(), 1u);
    EXPECT_EQ(watched.failures[0].code, c.code) << watched.failures[0].detail;
    EXPECT_NE(watched.failures[0].code, kReservedCode);
    EXPECT_NE(watched.stateWhenFailed, RealState::Playing);
    EXPECT_EQ(watched.player.playState(), RealState::Stopped);
    // Nothing of the failed address may surface afterwards.
    processEventsFor(300);
    EXPECT_EQ(watched.failures.size(), 1u);
    EXPECT_EQ(watched.player.playState(), RealState::Stopped);
  }
}

TEST_F(MpvPlayerTest, ServerThatNeverAnswersFailsWhenTheWatchdogRunsOut) {
  LoopbackHttpServer silent(folder_->path(), LoopbackHttpServer::Mode::Silent);
  WatchedPlayer watched(3000);
  watched.player.setSource(silent.url(shortClip_));
  watched.player.doPlay();
  EXPECT_EQ(watched.player.playState(), RealState::Contacting);
  EXPECT_EQ(watched.player.lastStatus(), kRealStatusContacting);
  // Shorter than the engine's own network timeout, so only the watchdog can end it in time.
  ASSERT_TRUE(waitUntil([&] { return !watched.failures.empty(); }, 8000));
  EXPECT_EQ(watched.failures[0].code, MpvRealError::NoProgress);
  EXPECT_TRUE(watched.endedStopped());

  // Going away while still waiting for the server must not wait for the engine's own timeout.
  auto waiting = std::make_unique<WatchedPlayer>(3000);
  waiting->player.setSource(silent.url(shortClip_));
  waiting->player.doPlay();
  processEventsFor(300);
  waiting.reset();
}

TEST_F(MpvPlayerTest, ClipCutShortIsAFailureNotAnEnd) {
  // The header still promises 8 s, but the data stops after a fraction of it.
  const std::string whole = test::makeClip(folder_->path(), 8.0, "mp4");
  const std::filesystem::path cut = folder_->file("cut.mp4");
  std::filesystem::copy_file(folder_->file(whole), cut,
                             std::filesystem::copy_options::overwrite_existing);
  std::filesystem::resize_file(cut, std::filesystem::file_size(cut) * 2 / 5);

  WatchedPlayer watched;
  watched.player.setSource(server_->url("cut.mp4"));
  watched.player.doPlay();
  ASSERT_TRUE(waitUntil([&] { return !watched.failures.empty(); }, kGenerousMs))
      << "state " << watched.player.playState();
  EXPECT_NE(std::find(watched.transitions.begin(), watched.transitions.end(),
                      std::make_pair(RealState::Buffering, RealState::Playing)),
            watched.transitions.end());
  EXPECT_EQ(watched.failures[0].code, MpvRealError::EndedEarly) << watched.failures[0].detail;
  EXPECT_TRUE(watched.endedStopped());
}

TEST_F(MpvPlayerTest, AsxPlaylistPlaysItsFirstEntry) {
  const std::string entry = server_->url(longClip_);
  const std::string served = test::makeAsx(folder_->path(), "station.asx", entry);
  const std::string relative =
      test::makeAsx(folder_->path(), "Relative.ASX", longClip_);  // resolved against the asx
  const std::string local = test::makeAsx(folder_->path(), "local.asx", entry);
  for (const std::string& address :
       {server_->url(served), server_->url(relative), folder_->file(local)}) {
    SCOPED_TRACE(address);
    WatchedPlayer watched;
    watched.player.setSource(address);
    watched.player.doPlay();
    ASSERT_TRUE(
        waitUntil([&] { return watched.player.playState() == RealState::Playing; }, kGenerousMs))
        << (watched.failures.empty() ? "" : watched.failures[0].detail);
    EXPECT_EQ(watched.player.source(), address);
    EXPECT_NEAR(watched.player.lengthMs(), 8000, 500);
    watched.player.doStop();
  }
}

TEST_F(MpvPlayerTest, PauseStopAndReplay) {
  WatchedPlayer watched;
  MpvRealPlayer& player = watched.player;
  player.setSource(server_->url(longClip_));
  player.doPlay();
  ASSERT_TRUE(waitUntil([&] { return player.playState() == RealState::Playing; }, kGenerousMs));

  player.doPause();
  ASSERT_TRUE(waitUntil([&] { return player.playState() == RealState::Paused; }, kGenerousMs));
  EXPECT_EQ(player.lastStatus(), "Paused");
  player.doPlay();  // resumes the paused clip rather than loading it again
  ASSERT_TRUE(waitUntil([&] { return player.playState() == RealState::Playing; }, kGenerousMs));
  EXPECT_EQ(watched.transitions.back(), std::make_pair(RealState::Paused, RealState::Playing));

  player.doStop();
  EXPECT_EQ(player.playState(), RealState::Stopped);
  EXPECT_EQ(player.lastStatus(), "Stopped");
  EXPECT_EQ(player.lengthMs(), 0);
  const size_t transitionsAtStop = watched.transitions.size();
  processEventsFor(1000);
  EXPECT_EQ(watched.transitions.size(), transitionsAtStop) << "the stopped clip kept reporting";
  EXPECT_TRUE(watched.failures.empty());

  player.doPlay();
  ASSERT_TRUE(waitUntil([&] { return player.playState() == RealState::Playing; }, kGenerousMs));
  player.doStop();
}

TEST_F(MpvPlayerTest, FailureOfThePreviousAddressNeverReachesTheNext) {
  WatchedPlayer watched;
  MpvRealPlayer& player = watched.player;
  player.setSource(server_->url("missing.ts"));
  player.doPlay();
  // Without the event loop running, the engine's news of the failure waits in its queue and is
  // read only after the next address has started.
  std::this_thread::sleep_for(std::chrono::milliseconds(1500));
  player.setSource(server_->url(longClip_));
  player.doPlay();
  ASSERT_TRUE(waitUntil([&] { return player.playState() == RealState::Playing; }, kGenerousMs));
  processEventsFor(500);
  EXPECT_TRUE(watched.failures.empty()) << watched.failures.front().detail;
  EXPECT_EQ(player.playState(), RealState::Playing);
  player.doStop();
}

TEST_F(MpvPlayerTest, ReportsTheContractVersion) {
  WatchedPlayer watched;
  const std::string version = watched.player.versionInfo();
  EXPECT_GE(std::atoi(version.c_str()), 6) << version;
  EXPECT_NE(version.find('.'), std::string::npos) << version;
}

TEST(MpvAddressTest, FindsTheFirstReferenceOfAnAsx) {
  const QUrl served("http://h/dir/list.asx");
  const struct {
    const char* document;
    QUrl base;
    std::optional<std::string> entry;
  } cases[] = {
      {"<asx><entry><ref href=\"http://a/b.wmv\"/></entry><entry><ref href=\"http://c/\"/>", served,
       "http://a/b.wmv"},
      {"<ASX><ENTRY><REF HREF='mms://x/y'/></ENTRY></ASX>", served, "mms://x/y"},
      {"<Asx><Entry><Ref title=\"t\" href = \"http://a/b?x=1&amp;y=2\" /></Entry></Asx>", served,
       "http://a/b?x=1&y=2"},
      {"<asx><EntryRef href=\"http://other/list.asx\"/><Ref href=\"http://real/\"/></asx>", served,
       "http://real/"},
      {"<asx><entry><ref href=\"clip.ts\"/></entry></asx>", served, "http://h/dir/clip.ts"},
      {"<asx><entry><ref href=\"clip.ts\"/></entry></asx>",
       QUrl::fromLocalFile("/tmp/dir/list.asx"), "/tmp/dir/clip.ts"},
      {"<asx><entry><ref href=\"\"/></entry></asx>", served, std::nullopt},
      {"<asx><entry><title>no reference</title></entry></asx>", served, std::nullopt},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(mpv::firstAsxEntry(QByteArray(c.document), c.base), c.entry) << c.document;
  }
}

TEST(MpvAddressTest, TellsWhatKindOfAddressItIs) {
  const struct {
    const char* address;
    bool wellFormed, network, asx;
  } cases[] = {
      {"", false, false, false},
      {"   ", false, false, false},
      {"http://", false, true, false},
      {"http:///clip.ts", false, true, false},
      {"line\nbreak.ts", false, false, false},
      {"http://h/live/STATION.ASX?id=3", true, true, true},
      {"http://h/clip.asx.ts", true, true, false},
      {"rtsp://h:554/stream", true, true, false},
      {"/home/user/list.asx", true, false, true},
      {"C:\\tv\\list.asx", true, false, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.address);
    EXPECT_EQ(mpv::isWellFormedAddress(c.address), c.wellFormed);
    if (!c.wellFormed) continue;
    EXPECT_EQ(mpv::isNetworkAddress(c.address), c.network);
    EXPECT_EQ(mpv::isAsxAddress(c.address), c.asx);
  }
}

}  // namespace
}  // namespace zelvo

int main(int argc, char** argv) { return zelvo::test::runIntegrationTests(argc, argv); }
