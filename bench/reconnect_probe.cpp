// How soon the picture comes back after a live station's server went away and answers again:
// an HLS stream that ffmpeg writes on loopback, outages of 10 s and 2 minutes, starting in each
// player. Prints the seconds until the status line showed the reconnection and the milliseconds
// from the server's return to the picture. Runs offscreen with the engines' null outputs.
#include <QApplication>
#include <QElapsedTimer>
#include <cstdio>
#include <cstdlib>

#include "platform/mpv/MpvRealPlayer.h"
#include "platform/vlc/VlcWindowsMediaPlayer.h"
#include "playback/Monitoring.h"
#include "playback/Reconnection.h"
#include "program/Composition.h"
#include "support/GbkFiles.h"
#include "support/IntegrationMain.h"
#include "support/LiveStream.h"
#include "support/LoopbackHttpServer.h"
#include "support/QuietComponents.h"
#include "support/TempFolder.h"
#include "support/TestEnvironment.h"

int main(int argc, char** argv) {
  using namespace zelvo;
  test::prepareTestEnvironment();
  prepareWindowProcess();
  QApplication app(argc, argv);
  // Outage lengths in seconds may be given on the command line; 10 and 120 otherwise.
  std::vector<int> outages;
  for (int i = 1; i < argc; ++i) outages.push_back(std::atoi(argv[i]));
  if (outages.empty()) outages = {10, 120};

  test::TempFolder media, folder;
  test::LiveStream live(media.path(), test::LiveStream::Kind::Hls);
  if (!live.waitReady(30000)) {
    std::printf("the live stream did not start\n");
    return 1;
  }
  test::LoopbackHttpServer server(media.path());
  const std::string address = server.url(live.playlistName());
  test::writeGbkLines(folder.file("tv_lib.txt"), {"直播," + address + ",-999,假,假", "end"});
  ZelvoApplication zelvo(folder.path(), test::quietComponents());
  zelvo.start();
  FormControls& c = zelvo.window().controls();
  Reconnection& reconnection = zelvo.window().reconnection();
  auto playing = [&] {
    return zelvo.primaryPlayer().playState() == WmpState::Playing ||
           zelvo.fallbackPlayer().playState() == RealState::Playing;
  };

  for (const char* player : {"libVLC", "libmpv"}) {
    for (int outage : outages) {
      c.Command9.userClicked();
      test::processEventsFor(500);
      // The user starts the station; for libmpv, the window then hands it over as after a
      // failure of libVLC, so that the station is watched as the user's own.
      c.Command2.userClicked();
      if (player[3] == 'm') {
        test::waitUntil([&] { return zelvo.primaryPlayer().playState() == WmpState::Playing; },
                        30000);
        zelvo.window().monitoring().HandOffToRealPlayer();
        test::waitUntil([&] { return zelvo.fallbackPlayer().playState() == RealState::Playing; },
                        30000);
      }
      if (!test::waitUntil(playing, 30000)) {
        std::printf("%s: the station did not play\n", player);
        continue;
      }
      test::processEventsFor(3000);
      QElapsedTimer clock;
      clock.start();
      server.setOutage(true);
      const bool shown = test::waitUntil([&] { return reconnection.reconnecting(); }, 60000);
      const qint64 shownAfter = clock.elapsed();
      test::processEventsFor(
          static_cast<int>(std::max<qint64>(0, outage * 1000 - clock.elapsed())));
      server.setOutage(false);
      clock.restart();
      const bool back =
          test::waitUntil([&] { return playing() && !reconnection.reconnecting(); }, 120000);
      std::printf(
          "%s, %d s outage: reconnection %s after %.1f s; picture back %lld ms after the server "
          "answered again%s (%s)\n",
          player, outage, shown ? "shown" : "NOT shown", shownAfter / 1000.0, clock.elapsed(),
          back ? "" : " (NOT back)", c.l.caption().c_str());
      std::fflush(stdout);
    }
  }
  c.Command9.userClicked();
  test::processEventsFor(500);
  return 0;
}
