// The real window offscreen with both real players on loopback: a live stream
// whose server goes away for 10 s comes back by itself while the status line
// says so; "停止" during the outage ends the tries, so no request reaches the
// server afterwards; and a clip that played to its end is not opened again.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QString>
#include <chrono>
#include <string>

#include "platform/mpv/MpvRealPlayer.h"
#include "platform/vlc/VlcWindowsMediaPlayer.h"
#include "playback/Reconnection.h"
#include "program/Composition.h"
#include "support/Clips.h"
#include "support/GbkFiles.h"
#include "support/IntegrationMain.h"
#include "support/LiveStream.h"
#include "support/LoopbackHttpServer.h"
#include "support/QuietComponents.h"
#include "support/TempFolder.h"

namespace zelvo::test {
namespace {

using Clock = std::chrono::steady_clock;

constexpr int kBoundMs = 30000;

// Whether a label on the screen shows a text that starts with prefix.
bool labelShows(const std::string &prefix) {
  for (QWidget *widget : QApplication::allWidgets()) {
    auto *label = qobject_cast<QLabel *>(widget);
    if (label && label->isVisible() && label->text().startsWith(QString::fromStdString(prefix)))
      return true;
  }
  return false;
}

long long msSince(Clock::time_point start) {
  return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
}

enum class Flow { Outage, StopDuringOutage, ClipEnds };

// inFallback: the station plays in libmpv, handed over as after a failure of libVLC.
void runFlow(Flow flow, bool inFallback = false) {
  {
    SCOPED_TRACE(inFallback ? "libmpv" : "libVLC");
    SCOPED_TRACE(flow == Flow::Outage             ? "a 10 s outage"
                 : flow == Flow::StopDuringOutage ? "停止 during an outage"
                                                  : "a clip's end");
    TempFolder media, app;
    std::unique_ptr<LiveStream> live;
    std::string file;
    if (flow == Flow::ClipEnds) {
      file = makeClip(media.path(), 4, "mp4");
    } else {
      live = std::make_unique<LiveStream>(media.path(), LiveStream::Kind::Hls);
      ASSERT_TRUE(live->waitReady(kBoundMs));
      file = live->playlistName();
    }
    LoopbackHttpServer server(media.path());
    writeGbkLines(app.file("tv_lib.txt"), {"直播," + server.url(file) + ",-999,假,假", "end"});
    ZelvoApplication zelvo(app.path(), quietComponents(10000));
    zelvo.start();
    FormControls &c = zelvo.window().controls();
    // The picture may come back in either player: the tries alternate between them.
    auto playing = [&] {
      return zelvo.primaryPlayer().playState() == WmpState::Playing ||
             zelvo.fallbackPlayer().playState() == RealState::Playing;
    };

    c.Command2.userClicked();
    ASSERT_TRUE(waitUntil(playing, kBoundMs));
    if (inFallback) {
      zelvo.window().monitoring().HandOffToRealPlayer();
      ASSERT_TRUE(waitUntil(
          [&] { return zelvo.fallbackPlayer().playState() == RealState::Playing; }, kBoundMs));
    }

    if (flow == Flow::ClipEnds) {
      ASSERT_TRUE(waitUntil(
          [&] { return zelvo.primaryPlayer().playState() == WmpState::MediaEnded; }, kBoundMs));
      const size_t requests = server.requestedPaths().size();
      processEventsFor(5000);
      EXPECT_EQ(server.requestedPaths().size(), requests);
      EXPECT_FALSE(labelShows(kReconnectingPrefix));
      EXPECT_NE(zelvo.primaryPlayer().playState(), WmpState::Playing);
      return;
    }

    processEventsFor(3000);
    const auto away = Clock::now();
    server.setOutage(true);
    ASSERT_TRUE(waitUntil([&] { return labelShows(kReconnectingPrefix); }, kBoundMs));
    const long long shownAfter = msSince(away);

    if (flow == Flow::StopDuringOutage) {
      c.Command9.userClicked();
      processEventsFor(200);
      const int refused = server.connectionsDuringOutage();
      const size_t requests = server.requestedPaths().size();
      processEventsFor(5000);
      server.setOutage(false);
      processEventsFor(5000);
      EXPECT_EQ(server.connectionsDuringOutage(), refused);
      EXPECT_EQ(server.requestedPaths().size(), requests);
      EXPECT_FALSE(labelShows(kReconnectingPrefix));
      EXPECT_FALSE(playing());
      return;
    }

    processEventsFor(static_cast<int>(std::max(0LL, 10000 - msSince(away))));
    server.setOutage(false);
    const size_t requestsBefore = server.requestedPaths().size();
    const auto back = Clock::now();
    ASSERT_TRUE(waitUntil(
        [&] { return playing() && !zelvo.window().reconnection().reconnecting(); }, 60000));
    const long long pictureAfter = msSince(back);
    EXPECT_GT(server.requestedPaths().size(), requestsBefore);
    EXPECT_FALSE(labelShows(kReconnectingPrefix));
    processEventsFor(2000);
    EXPECT_TRUE(playing());
    std::printf(
        "status shown %lld ms after the server went away; picture back "
        "%lld ms after it "
        "answered again\n",
        shownAfter, pictureAfter);
  }
}

TEST(ReconnectionEndToEnd, StopDuringAnOutageAndTheEndOfAClipOpenNothingMore) {
  runFlow(Flow::StopDuringOutage);
  runFlow(Flow::ClipEnds);
}

TEST(ReconnectionEndToEnd, ALiveStationComesBackAfterATenSecondOutageInEitherPlayer) {
  runFlow(Flow::Outage);
  runFlow(Flow::Outage, true);
}

}  // namespace
}  // namespace zelvo::test

int main(int argc, char **argv) { return zelvo::test::runIntegrationTests(argc, argv); }
