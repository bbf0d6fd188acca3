// A counter template whose first 20 numbers are missing (404 on a loopback server) before a live
// one: prints the milliseconds from the play button to the live number's picture, over a few
// runs. Runs offscreen with the engines' null outputs; the goal is under 2 s.
#include <QApplication>
#include <QElapsedTimer>
#include <cstdio>
#include <filesystem>
#include <fstream>

#include "platform/mpv/MpvRealPlayer.h"
#include "platform/posix/GbkCodec.h"
#include "platform/vlc/VlcWindowsMediaPlayer.h"
#include "program/Composition.h"
#include "support/Clips.h"
#include "support/IntegrationMain.h"
#include "support/LoopbackHttpServer.h"
#include "support/QuietComponents.h"
#include "support/TempFolder.h"
#include "support/TestEnvironment.h"

int main(int argc, char** argv) {
  using namespace zelvo;
  test::prepareTestEnvironment();
  prepareWindowProcess();
  QApplication app(argc, argv);
  test::TempFolder media;
  std::filesystem::rename(media.file(test::makeClip(media.path(), 30)), media.file("ch21.ts"));
  test::LoopbackHttpServer server(media.path());
  test::TempFolder folder;
  std::ofstream(folder.file("tv_lib.txt"), std::ios::binary)
      << utf8ToGbk("系列," + server.url("ch%00%.ts") + ",-999,假,假\r\nend\r\n");

  ZelvoApplication zelvo(folder.path(), test::quietComponents());
  zelvo.start();
  FormControls& c = zelvo.window().controls();
  const std::string live = server.url("ch21.ts");
  for (int run = 0; run < 5; ++run) {
    c.dz1.setText(server.url("ch%00%.ts"));
    QElapsedTimer clock;
    clock.start();
    c.Command2.userClicked();
    const bool ok = test::waitUntil(
        [&] {
          return (zelvo.primaryPlayer().playState() == WmpState::Playing &&
                  zelvo.primaryPlayer().sourceURL() == live) ||
                 (zelvo.fallbackPlayer().playState() == RealState::Playing &&
                  zelvo.fallbackPlayer().source() == live);
        },
        20000);
    std::printf("run %d: 20 missing numbers, then picture of ch21 after %lld ms%s\n", run + 1,
                clock.elapsed(), ok ? "" : " (did not reach playing)");
    c.Command9.userClicked();
    test::processEventsFor(300);
  }
  return 0;
}
