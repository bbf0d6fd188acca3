// From the play button to the first picture, in each player, on a clip served on loopback, and
// for an RTSP station, from the primary player's refusal to the fallback player's first picture:
// prints the milliseconds over a few runs. Runs offscreen with the engines' null outputs.
#include <QApplication>
#include <QElapsedTimer>
#include <cstdio>

#include "platform/mpv/MpvRealPlayer.h"
#include "platform/vlc/VlcWindowsMediaPlayer.h"
#include "program/Composition.h"
#include "support/Clips.h"
#include "support/IntegrationMain.h"
#include "support/LoopbackHttpServer.h"
#include "support/LoopbackRtspServer.h"
#include "support/QuietComponents.h"
#include "support/TempFolder.h"
#include "support/TestEnvironment.h"

int main(int argc, char** argv) {
  using namespace zelvo;
  test::prepareTestEnvironment();
  prepareWindowProcess();
  QApplication app(argc, argv);
  test::TempFolder media;
  const std::string clip = test::makeClip(media.path(), 10);
  test::LoopbackHttpServer server(media.path());
  test::TempFolder folder;

  ZelvoApplication zelvo(folder.path(), test::quietComponents());
  zelvo.start();
  FormControls& c = zelvo.window().controls();

  for (int run = 0; run < 5; ++run) {
    c.dz1.setText(run % 2 ? media.file(clip) : server.url(clip));
    QElapsedTimer clock;
    clock.start();
    c.Command2.userClicked();
    bool ok = test::waitUntil(
        [&] { return zelvo.primaryPlayer().playState() == WmpState::Playing; }, 20000);
    const qint64 primary = clock.elapsed();

    clock.restart();
    zelvo.primaryPlayer().close();
    const qint64 closing = clock.elapsed();
    clock.restart();
    zelvo.window().playback().PlayWithRealPlayer(server.url(clip));
    ok = test::waitUntil([&] { return zelvo.fallbackPlayer().playState() == RealState::Playing; },
                         20000) &&
         ok;
    const qint64 fallback = clock.elapsed();
    std::printf(
        "run %d: primary (libVLC) %lld ms, fallback (libmpv) %lld ms (closing the primary first "
        "took %lld ms)%s\n",
        run + 1, primary, fallback, closing, ok ? "" : " (did not reach playing)");
    zelvo.window().playback().StopAll();
    test::processEventsFor(200);
  }

  // An RTSP station: libVLC refuses it, the window hands it to libmpv.
  test::LoopbackRtspServer rtsp;
  for (int run = 0; run < 3; ++run) {
    c.dz1.setText(rtsp.url());
    QElapsedTimer clock;
    clock.start();
    c.Command2.userClicked();
    qint64 handedOn = -1;
    const bool ok = test::waitUntil(
        [&] {
          const int state = zelvo.fallbackPlayer().playState();
          if (handedOn < 0 && state != RealState::Stopped) handedOn = clock.elapsed();
          return state == RealState::Playing;
        },
        20000);
    const qint64 total = clock.elapsed();
    std::printf(
        "rtsp run %d: play button to hand-off %lld ms, hand-off to playing in libmpv %lld ms, "
        "%lld ms in all%s\n",
        run + 1, handedOn, handedOn < 0 ? -1 : total - handedOn, total,
        ok ? "" : " (did not reach playing)");
    zelvo.window().playback().StopAll();
    test::processEventsFor(200);
  }
  return 0;
}
