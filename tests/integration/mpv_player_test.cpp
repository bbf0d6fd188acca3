// The mpv fallback player against clips, playlists and misbehaving servers on loopback:
// what its states, status text and failure events tell the caller.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QStackedLayout>
#include <QWidget>
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

#include "platform/BrowserAgent.h"
#include "platform/mpv/MediaAddress.h"
#include "platform/mpv/MpvRealPlayer.h"
#include "support/Clips.h"
#include "support/IntegrationMain.h"
#include "support/LoopbackHttpServer.h"
#include "support/LoopbackRtspServer.h"
#include "support/TempFolder.h"
#include "support/UnixSocket.h"

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

// The server refuses mpv's own agent. mpv hands out the 403 it logged only after the end of the
// clip, and both wait while the window is busy: the refusal must still lead to the retry.
TEST_F(MpvPlayerTest, AServerForBrowsersOnlyPlaysAlsoWhenTheWindowWasBusyAsItRefused) {
  LoopbackHttpServer browsersOnly(folder_->path());
  browsersOnly.requireHeader("User-Agent", kDesktopBrowserAgent);
  WatchedPlayer watched;
  MpvRealPlayer& player = watched.player;
  player.setSource(browsersOnly.url(longClip_));
  player.doPlay();
  std::this_thread::sleep_for(std::chrono::milliseconds(1500));
  ASSERT_TRUE(waitUntil([&] { return player.playState() == RealState::Playing; }, kGenerousMs))
      << "state " << player.playState() << ", "
      << (watched.failures.empty() ? "" : watched.failures.front().detail);
  EXPECT_TRUE(watched.failures.empty());
}

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
  using Reply = LoopbackHttpServer::Reply;
  server_->setReply("/loop.asx", Reply{302, "text/html", "", "Location: /loop.asx\r\n"});
  server_->setReply("/huge.asx", Reply{200, "video/x-ms-asf",
                                       "<asx>" + std::string((1 << 20) + 1, ' ') + "</asx>", ""});
  const struct {
    const char* what;
    std::string address;
    int32_t code;
    const char* detail = "";  // a part of the failure's detail
  } cases[] = {
      {"empty address", "", MpvRealError::BadAddress},
      {"blank address", "   ", MpvRealError::BadAddress},
      {"host missing", "http:///clip.ts", MpvRealError::BadAddress},
      {"refused port", "http://127.0.0.1:" + std::to_string(test::refusedPort()) + "/" + shortClip_,
       MpvRealError::OpenFailed},
      {"missing file", server_->url("missing.ts"), MpvRealError::OpenFailed},
      {"asx not found", server_->url("missing.asx"), MpvRealError::PlaylistFailed},
      {"asx in a redirect loop", server_->url("loop.asx"), MpvRealError::PlaylistFailed,
       "redirects too often"},
      {"asx beyond its size", server_->url("huge.asx"), MpvRealError::PlaylistFailed,
       "larger than"},
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
    EXPECT_NE(watched.failures[0].detail.find(c.detail), std::string::npos)
        << watched.failures[0].detail;
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
  processEventsFor(200);
  EXPECT_EQ(watched.transitions.back(), std::make_pair(RealState::Playing, RealState::Stopped));
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

TEST_F(MpvPlayerTest, EventsArriveAfterTheCallThatCausedThem) {
  WatchedPlayer watched;
  MpvRealPlayer& player = watched.player;
  bool insideCall = false;
  int raisedInside = 0;
  player.stateChange.connect([&](int from, int to) {
    watched.transitions.push_back({from, to});
    if (insideCall) ++raisedInside;
  });
  player.errorMessage.connect(
      [&](int32_t, int32_t code, int32_t, std::string, std::string, std::string detail) {
        watched.failures.push_back({code, detail});
        if (insideCall) ++raisedInside;
      });
  const auto call = [&](auto&& body) {
    insideCall = true;
    body();
    insideCall = false;
  };

  player.setSource("");
  call([&] { player.doPlay(); });
  EXPECT_TRUE(watched.transitions.empty() && watched.failures.empty());
  EXPECT_EQ(player.playState(), RealState::Stopped);  // the state itself answers at once
  processEventsFor(200);
  ASSERT_EQ(watched.failures.size(), 1u);
  EXPECT_EQ(watched.transitions.back(), std::make_pair(RealState::Stopped, RealState::Stopped));

  player.setSource(server_->url(longClip_));
  call([&] { player.doPlay(); });
  EXPECT_EQ(player.playState(), RealState::Contacting);
  ASSERT_TRUE(waitUntil([&] { return player.playState() == RealState::Playing; }, kGenerousMs));
  call([&] { player.doPause(); });
  ASSERT_TRUE(waitUntil([&] { return player.playState() == RealState::Paused; }, kGenerousMs));
  call([&] { player.doStop(); });
  processEventsFor(200);
  EXPECT_EQ(raisedInside, 0);
  EXPECT_EQ(watched.transitions.back(), std::make_pair(RealState::Paused, RealState::Stopped));
}

TEST_F(MpvPlayerTest, EventsOfAnAbandonedClipAreDropped) {
  WatchedPlayer watched;
  MpvRealPlayer& player = watched.player;
  // Failure and stop of a bad address, still queued when the next clip starts, are dropped.
  player.setSource("");
  player.doPlay();
  player.setSource(server_->url(longClip_));
  player.doPlay();
  ASSERT_TRUE(waitUntil([&] { return player.playState() == RealState::Playing; }, kGenerousMs));
  EXPECT_TRUE(watched.failures.empty());
  EXPECT_EQ(watched.transitions.front(), std::make_pair(RealState::Stopped, RealState::Contacting));
  player.doStop();
  processEventsFor(200);

  // A handler that starts another clip on the failure never hears the failed clip's stop.
  WatchedPlayer restarting;
  restarting.player.errorMessage.connect(
      [&](int32_t, int32_t code, int32_t, std::string, std::string, std::string detail) {
        restarting.failures.push_back({code, detail});
        restarting.player.setSource(server_->url(longClip_));
        restarting.player.doPlay();
      });
  restarting.player.setSource(server_->url("missing.ts"));
  restarting.player.doPlay();
  ASSERT_TRUE(
      waitUntil([&] { return restarting.player.playState() == RealState::Playing; }, kGenerousMs));
  processEventsFor(300);
  EXPECT_EQ(restarting.failures.size(), 1u);
  for (const auto& [from, to] : restarting.transitions) {
    EXPECT_FALSE(to == RealState::Stopped && from != RealState::Stopped)
        << "the failed clip's stop reached the handler";
  }
  restarting.player.doStop();
}

TEST_F(MpvPlayerTest, LettingGoOfAClipSilencesItUntilTheNextPlay) {
  WatchedPlayer watched;
  MpvRealPlayer& player = watched.player;
  player.setSource(server_->url(longClip_));
  player.doPlay();
  ASSERT_TRUE(waitUntil([&] { return player.playState() == RealState::Playing; }, kGenerousMs));
  processEventsFor(200);
  const size_t heard = watched.transitions.size();

  // As when the other player takes over: let go, then stop.
  player.clearQueuedClips();
  player.doStop();
  EXPECT_EQ(player.playState(), RealState::Stopped);
  processEventsFor(1000);
  EXPECT_EQ(watched.transitions.size(), heard) << "the stop of a clip let go of was raised";
  EXPECT_TRUE(watched.failures.empty());

  player.doPlay();
  ASSERT_TRUE(waitUntil([&] { return player.playState() == RealState::Playing; }, kGenerousMs));
  EXPECT_GT(watched.transitions.size(), heard);
  EXPECT_EQ(watched.transitions[heard], std::make_pair(RealState::Stopped, RealState::Contacting));
  player.doStop();
}

TEST_F(MpvPlayerTest, StalledOrCutOffStreamEndsInAFailure) {
  const std::string clip = test::makeClip(folder_->path(), 20.0);
  for (auto mode : {LoopbackHttpServer::Mode::Stall, LoopbackHttpServer::Mode::Drop}) {
    SCOPED_TRACE(mode == LoopbackHttpServer::Mode::Stall ? "stalled" : "cut off");
    LoopbackHttpServer failing(folder_->path(), mode);
    WatchedPlayer watched(3000);
    watched.player.setSource(failing.url(clip));
    watched.player.doPlay();
    ASSERT_TRUE(waitUntil([&] { return !watched.failures.empty(); }, 3000 + kGenerousMs))
        << "state " << watched.player.playState();
    EXPECT_TRUE(watched.failures[0].code == MpvRealError::NoProgress ||
                watched.failures[0].code == MpvRealError::EndedEarly)
        << watched.failures[0].detail;
    processEventsFor(200);
    EXPECT_TRUE(watched.endedStopped());
    EXPECT_EQ(watched.failures.size(), 1u);
  }
}

TEST_F(MpvPlayerTest, EngineThatShutsDownEndsTheClipWithAFailure) {
  const std::string socket = folder_->file("mpv-control.sock");
  MpvRealPlayer player(MpvRealPlayer::Options{
      15000, {{"vo", "null"}, {"ao", "null"}, {"input-ipc-server", socket}}});
  std::vector<std::pair<int, int>> transitions;
  std::vector<int32_t> codes;
  player.stateChange.connect([&](int from, int to) { transitions.push_back({from, to}); });
  player.errorMessage.connect([&](int32_t, int32_t code, int32_t, std::string, std::string,
                                  std::string) { codes.push_back(code); });
  player.setSource(server_->url(longClip_));
  player.doPlay();
  ASSERT_TRUE(waitUntil([&] { return player.playState() == RealState::Playing; }, kGenerousMs));

  // Anyone with the engine's control socket can tell it to quit.
  ASSERT_TRUE(test::sendToUnixSocket(socket, "{\"command\": [\"quit\"]}\n"));
  ASSERT_TRUE(waitUntil([&] { return !codes.empty(); }, kGenerousMs));
  processEventsFor(200);
  EXPECT_EQ(codes, std::vector<int32_t>{MpvRealError::EngineStopped});
  EXPECT_EQ(transitions.back(), std::make_pair(RealState::Playing, RealState::Stopped));
  EXPECT_EQ(player.playState(), RealState::Stopped);

  // The next clip gets a fresh engine.
  player.doPlay();
  ASSERT_TRUE(waitUntil([&] { return player.playState() == RealState::Playing; }, kGenerousMs));
  player.doStop();
}

TEST_F(MpvPlayerTest, PlaysALoopbackRtspStream) {
  test::LoopbackRtspServer rtsp;
  WatchedPlayer watched;
  watched.player.setSource(rtsp.url());
  watched.player.doPlay();
  ASSERT_TRUE(
      waitUntil([&] { return watched.player.playState() == RealState::Playing; }, kGenerousMs))
      << (watched.failures.empty() ? "" : watched.failures[0].detail);
  processEventsFor(1000);
  EXPECT_EQ(watched.player.playState(), RealState::Playing) << "the live stream did not go on";
  EXPECT_TRUE(watched.failures.empty());
  watched.player.doStop();
}

TEST(MpvImageWindowTest, ShowsThePictureOnTopInsideThePlayerArea) {
  QWidget area;
  auto* layout = new QStackedLayout(&area);
  MpvRealPlayer player(MpvRealPlayer::Options{15000, {{"vo", "null"}, {"ao", "null"}}}, &area);
  layout->addWidget(player.widget());
  auto* cover = new QWidget(&area);
  layout->addWidget(cover);
  layout->setStackingMode(QStackedLayout::StackAll);
  area.show();
  player.widget()->hide();
  cover->raise();

  player.showImageWindow();
  EXPECT_TRUE(player.widget()->isVisible());
  EXPECT_FALSE(player.widget()->isWindow());
  EXPECT_EQ(area.children().last(), player.widget()) << "the picture is not on top";

  // A player without a place in a window never opens a window of its own.
  MpvRealPlayer loose(MpvRealPlayer::Options{15000, {{"vo", "null"}, {"ao", "null"}}});
  loose.showImageWindow();
  EXPECT_FALSE(loose.widget()->isVisible());
}

TEST_F(MpvPlayerTest, ReportsTheContractVersionAndTakesItsSettings) {
  WatchedPlayer watched;
  MpvRealPlayer& player = watched.player;
  EXPECT_NO_THROW({
    player.setWantErrors(true);
    player.setCacheSeconds(3);
    player.setMaintainAspect(true);
    player.setVideoEnabled(true);
    player.setAudioEnabled(true);
    player.setWantStatusEvents(true);
    player.setAutoStart(true);
  });
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
