// The check's headless players on loopback: media really decoded counts, and every server that
// refuses, answers 404, says nothing, stalls, or serves a web page ends as not live within the
// time given.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <cstdlib>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "platform/mpv/MpvStreamProbe.h"
#include "platform/vlc/VlcStreamProbe.h"
#include "support/Clips.h"
#include "support/IntegrationMain.h"
#include "support/LoopbackHttpServer.h"
#include "support/LoopbackRtspServer.h"
#include "support/TempFolder.h"

namespace zelvo {
namespace {

using Outcome = ProbeResult::Outcome;
using test::LoopbackHttpServer;
using test::waitUntil;

constexpr int kTimeoutMs = 3000;
// What a loaded machine may add to a probe's own time before its result arrives.
constexpr int kLateMs = 2500;

// A clip with one kind of media only, made with ffmpeg.
std::string makeSingleTrackClip(const std::string& folder, bool video) {
  const std::string name = video ? "video-only.ts" : "audio-only.mp3";
  const std::string input = video ? "-f lavfi -i testsrc=size=160x120:rate=25 -an -c:v mpeg2video"
                                  : "-f lavfi -i sine=frequency=440 -vn -c:a libmp3lame";
  const std::string command =
      "ffmpeg -hide_banner -loglevel error -y " + input + " -t 4 '" + folder + "/" + name + "'";
  if (std::system(command.c_str()) != 0) return {};
  return name;
}

struct Probed {
  std::optional<ProbeResult> result;
  int results = 0;
  qint64 elapsedMs = 0;
};

// Starts the probe and waits for its one result, timing it from the start.
Probed probe(StreamProbe& probe, const std::string& address, int timeoutMs = kTimeoutMs) {
  Probed probed;
  QElapsedTimer clock;
  bool raisedInsideStart = false;
  bool starting = true;
  probe.finished.connect([&](const ProbeResult& result) {
    raisedInsideStart = raisedInsideStart || starting;
    ++probed.results;
    probed.result = result;
    probed.elapsedMs = clock.elapsed();
  });
  clock.start();
  probe.start(address, timeoutMs);
  starting = false;
  waitUntil([&] { return probed.results > 0; }, timeoutMs + kLateMs + 5000);
  // Nothing more may come for the same start.
  test::processEventsFor(300);
  EXPECT_FALSE(raisedInsideStart) << address;
  probe.finished.connect([](const ProbeResult&) {});
  return probed;
}

class CheckProbeTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    folder_ = new test::TempFolder;
    clip_ = test::makeClip(folder_->path(), 4.0);
    videoOnly_ = makeSingleTrackClip(folder_->path(), true);
    audioOnly_ = makeSingleTrackClip(folder_->path(), false);
    serve_ = new LoopbackHttpServer(folder_->path());
    silent_ = new LoopbackHttpServer(folder_->path(), LoopbackHttpServer::Mode::Silent);
    stall_ = new LoopbackHttpServer(folder_->path(), LoopbackHttpServer::Mode::Stall);
    test::makeAsx(folder_->path(), "list.asx", serve_->url(clip_));
    test::makeAsx(folder_->path(), "empty-target.asx", serve_->url("missing.ts"));
    LoopbackHttpServer::Reply page;
    page.body = "<html><head><title>TV</title></head><body><a href=\"x.ts\">live</a></body></html>";
    serve_->setReply("/page.html", page);
    serve_->setReply("/tv.ts", page);  // a web page that claims to be a stream by its name
    LoopbackHttpServer::Reply few;
    few.contentType = "video/mp2t";
    few.body = test::fileBytes(folder_->file(clip_)).substr(0, 1000);
    few.finished = false;
    serve_->setReply("/few-bytes.ts", few);
  }
  static void TearDownTestSuite() {
    delete stall_;
    delete silent_;
    delete serve_;
    delete folder_;
  }
  static std::string refused() {
    return "http://127.0.0.1:" + std::to_string(test::refusedPort()) + "/x.ts";
  }

  static test::TempFolder* folder_;
  static LoopbackHttpServer* serve_;
  static LoopbackHttpServer* silent_;
  static LoopbackHttpServer* stall_;
  static std::string clip_, videoOnly_, audioOnly_;
};

test::TempFolder* CheckProbeTest::folder_ = nullptr;
LoopbackHttpServer* CheckProbeTest::serve_ = nullptr;
LoopbackHttpServer* CheckProbeTest::silent_ = nullptr;
LoopbackHttpServer* CheckProbeTest::stall_ = nullptr;
std::string CheckProbeTest::clip_, CheckProbeTest::videoOnly_, CheckProbeTest::audioOnly_;

struct Case {
  std::string what;
  std::string address;
  std::optional<bool> live;  // none: either verdict is right, only the time counts
};

std::vector<Case> cases(const LoopbackHttpServer& serve, const LoopbackHttpServer& silent,
                        const LoopbackHttpServer& stall, const std::string& refusedAddress,
                        const std::string& clip) {
  return {
      {"a live clip", serve.url(clip), true},
      {"a refused port", refusedAddress, false},
      {"a 404", serve.url("missing.ts"), false},
      {"a server that never answers", silent.url(clip), false},
      // What arrives before the stall decodes: a player that got that far really played.
      {"a server that stalls after a third", stall.url(clip), std::nullopt},
      {"a few bytes, then nothing", serve.url("few-bytes.ts"), false},
      {"a web page", serve.url("page.html"), false},
      {"a web page named like a stream", serve.url("tv.ts"), false},
      {"a live clip again", serve.url(clip), true},
  };
}

void expectVerdicts(StreamProbe& subject, const std::vector<Case>& table) {
  for (const Case& c : table) {
    const Probed probed = probe(subject, c.address);
    ASSERT_TRUE(probed.result) << c.what << ": no result";
    EXPECT_EQ(probed.results, 1) << c.what;
    if (c.live) {
      EXPECT_EQ(probed.result->outcome == Outcome::Decoded, *c.live)
          << c.what << ": " << probed.result->detail;
    }
    EXPECT_LE(probed.elapsedMs, kTimeoutMs + kLateMs) << c.what;
  }
}

TEST_F(CheckProbeTest, MpvCountsOnlyDecodedMediaAndKeepsItsTime) {
  MpvStreamProbe mpv;
  expectVerdicts(mpv, cases(*serve_, *silent_, *stall_, refused(), clip_));
}

TEST_F(CheckProbeTest, VlcCountsOnlyDecodedMediaAndKeepsItsTime) {
  VlcStreamProbe vlc;
  expectVerdicts(vlc, cases(*serve_, *silent_, *stall_, refused(), clip_));
}

TEST_F(CheckProbeTest, EitherTrackAloneCountsWhenDecoded) {
  ASSERT_FALSE(videoOnly_.empty());
  ASSERT_FALSE(audioOnly_.empty());
  MpvStreamProbe mpv;
  VlcStreamProbe vlc;
  for (StreamProbe* subject : {static_cast<StreamProbe*>(&mpv), static_cast<StreamProbe*>(&vlc)}) {
    const Probed video = probe(*subject, serve_->url(videoOnly_));
    ASSERT_TRUE(video.result);
    EXPECT_EQ(video.result->outcome, Outcome::Decoded) << video.result->detail;
    EXPECT_NE(video.result->detail.find("video 160x120"), std::string::npos)
        << video.result->detail;
    const Probed audio = probe(*subject, serve_->url(audioOnly_));
    ASSERT_TRUE(audio.result);
    EXPECT_EQ(audio.result->outcome, Outcome::Decoded) << audio.result->detail;
    EXPECT_NE(audio.result->detail.find("audio"), std::string::npos) << audio.result->detail;
  }
}

TEST_F(CheckProbeTest, AsxPlaylistsAreForVlcWhichPlaysTheirEntry) {
  MpvStreamProbe mpv;
  const Probed byMpv = probe(mpv, serve_->url("list.asx"));
  ASSERT_TRUE(byMpv.result);
  EXPECT_EQ(byMpv.result->outcome, Outcome::NotUnderstood) << byMpv.result->detail;

  VlcStreamProbe vlc;
  const Probed live = probe(vlc, serve_->url("list.asx"));
  ASSERT_TRUE(live.result);
  EXPECT_EQ(live.result->outcome, Outcome::Decoded) << live.result->detail;
  const Probed dead = probe(vlc, serve_->url("empty-target.asx"));
  ASSERT_TRUE(dead.result);
  EXPECT_NE(dead.result->outcome, Outcome::Decoded) << dead.result->detail;
}

TEST_F(CheckProbeTest, AnAddressNoEngineKnowsIsNotUnderstood) {
  MpvStreamProbe mpv;
  VlcStreamProbe vlc;
  for (StreamProbe* subject : {static_cast<StreamProbe*>(&mpv), static_cast<StreamProbe*>(&vlc)}) {
    const Probed probed = probe(*subject, "nosuchscheme://127.0.0.1/x");
    ASSERT_TRUE(probed.result);
    EXPECT_EQ(probed.result->outcome, Outcome::NotUnderstood) << probed.result->detail;
  }
}

TEST_F(CheckProbeTest, RtspIsForMpvSinceThisLibVlcHasNoRtspClient) {
  test::LoopbackRtspServer rtsp;
  MpvStreamProbe mpv;
  const Probed live = probe(mpv, rtsp.url(), 10000);
  ASSERT_TRUE(live.result);
  EXPECT_EQ(live.result->outcome, Outcome::Decoded) << live.result->detail;
  const Probed refusedRtsp =
      probe(mpv, "rtsp://127.0.0.1:" + std::to_string(test::refusedPort()) + "/live");
  ASSERT_TRUE(refusedRtsp.result);
  EXPECT_NE(refusedRtsp.result->outcome, Outcome::Decoded);
  VlcStreamProbe vlc;
  const Probed byVlc = probe(vlc, rtsp.url(), 10000);
  ASSERT_TRUE(byVlc.result);
  // Either libVLC plays it, or it says it cannot, so that libmpv gets its turn.
  EXPECT_NE(byVlc.result->outcome, Outcome::Dead) << byVlc.result->detail;
}

TEST_F(CheckProbeTest, ACancelledProbeSaysNothingAndTheNextStartIsHeard) {
  MpvStreamProbe mpv;
  VlcStreamProbe vlc;
  for (StreamProbe* subject : {static_cast<StreamProbe*>(&mpv), static_cast<StreamProbe*>(&vlc)}) {
    int heard = 0;
    subject->finished.connect([&](const ProbeResult&) { ++heard; });
    subject->start(serve_->url(clip_), kTimeoutMs);
    subject->cancel();
    subject->start(silent_->url(clip_), 500);
    subject->cancel();
    test::processEventsFor(kTimeoutMs + 500);
    EXPECT_EQ(heard, 0);
    // A start over one in progress abandons it: only the second is heard.
    subject->start(silent_->url(clip_), kTimeoutMs);
    const Probed probed = probe(*subject, serve_->url(clip_));
    EXPECT_EQ(probed.results, 1);
    ASSERT_TRUE(probed.result);
    EXPECT_EQ(probed.result->outcome, Outcome::Decoded);
    EXPECT_EQ(heard, 0) << "the abandoned start raised nothing";
  }
}

TEST_F(CheckProbeTest, TheNextAddressPlaysAtOnceAfterOneThatHungOrWasCancelled) {
  MpvStreamProbe mpv;
  VlcStreamProbe vlc;
  for (StreamProbe* subject : {static_cast<StreamProbe*>(&mpv), static_cast<StreamProbe*>(&vlc)}) {
    // Out of time on a silent server, then straight on, as the check goes from one to the next.
    std::optional<ProbeResult> silent;
    std::optional<ProbeResult> live;
    subject->finished.connect([&](const ProbeResult& result) {
      if (silent) {
        live = result;
        return;
      }
      silent = result;
      subject->start(serve_->url(clip_), kTimeoutMs);
    });
    subject->start(silent_->url(clip_), 1000);
    ASSERT_TRUE(waitUntil([&] { return live.has_value(); }, 1000 + kTimeoutMs + 2 * kLateMs));
    EXPECT_EQ(silent->outcome, Outcome::Dead);
    EXPECT_EQ(live->outcome, Outcome::Decoded) << live->detail;

    // Cancelled while the server says nothing, then started on a live clip in the same breath.
    subject->start(silent_->url(clip_), kTimeoutMs);
    test::processEventsFor(300);
    subject->cancel();
    const Probed next = probe(*subject, serve_->url(clip_));
    ASSERT_TRUE(next.result);
    EXPECT_EQ(next.result->outcome, Outcome::Decoded) << next.result->detail;
  }
}

TEST_F(CheckProbeTest, ManyProbesAtOnceEachKeepTheirOwnAnswer) {
  constexpr int kProbes = 6;
  std::vector<std::unique_ptr<StreamProbe>> probes;
  std::vector<std::optional<ProbeResult>> results(kProbes);
  for (int i = 0; i < kProbes; ++i) {
    if (i % 2 == 0) {
      probes.push_back(std::make_unique<MpvStreamProbe>());
    } else {
      probes.push_back(std::make_unique<VlcStreamProbe>());
    }
    probes.back()->finished.connect([&results, i](const ProbeResult& r) { results[i] = r; });
  }
  for (int i = 0; i < kProbes; ++i) {
    probes[i]->start(i % 3 == 0 ? silent_->url(clip_) : serve_->url(clip_), kTimeoutMs);
  }
  ASSERT_TRUE(waitUntil(
      [&] { return std::all_of(results.begin(), results.end(), [](auto& r) { return !!r; }); },
      kTimeoutMs + kLateMs + 5000));
  for (int i = 0; i < kProbes; ++i) {
    EXPECT_EQ(results[i]->outcome == Outcome::Decoded, i % 3 != 0) << i << results[i]->detail;
  }
}

}  // namespace
}  // namespace zelvo

int main(int argc, char** argv) { return zelvo::test::runIntegrationTests(argc, argv); }
