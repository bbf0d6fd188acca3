// The track menu on the playing picture of the real window, under a private X server: a
// right-click over each engine's picture of a loopback clip with two audio tracks lists both
// languages and the subtitles, and choosing the second audio track switches it while the clip
// plays on, never asked for from its start again; played anew, the station starts on its first.
#include <gtest/gtest.h>

#include <QApplication>
#include <QMenu>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <cstdlib>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "platform/qt/QtFormView.h"
#include "program/Composition.h"
#include "support/Clips.h"
#include "support/CpuLoad.h"
#include "support/GbkFiles.h"
#include "support/IntegrationMain.h"
#include "support/LoopbackHttpServer.h"
#include "support/TempFolder.h"
#include "support/XClient.h"
#include "support/XvfbServer.h"

namespace zelvo::test {
namespace {

// What the menu shows, "* " before a marked entry, after a right-click at (x, y) of the window;
// the entry with caption choose is then clicked, or the menu closed when none has it.
std::vector<std::string> rightClickMenu(XClient& x, QWidget* window, QPoint at,
                                        const std::string& choose) {
  std::vector<std::string> seen;
  bool done = false;
  QTimer poll;
  poll.setInterval(50);
  QObject::connect(&poll, &QTimer::timeout, [&] {
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    if (!menu || !menu->isVisible()) return;
    poll.stop();
    done = true;
    QAction* chosen = nullptr;
    for (QAction* action : menu->actions()) {
      if (action->isSeparator()) continue;
      const std::string text = action->text().toStdString();
      seen.push_back((action->isChecked() ? "* " : "") + text);
      if (text == choose) chosen = action;
    }
    if (!chosen) {
      menu->close();
      return;
    }
    QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(chosen).center());
  });
  poll.start();
  x.click(window->winId(), at.x(), at.y(), 3);
  waitUntil([&] { return done; }, 10000);
  processEventsFor(300);
  return seen;
}

// Requests for path that read it from its start: a player that opens the clip anew.
size_t readsFromStart(const LoopbackHttpServer& server, const std::string& path) {
  size_t count = 0;
  for (const std::string& head : server.requestHeads()) {
    if (head.find(" " + path + " ") == std::string::npos) continue;
    std::string lower = head;
    std::transform(lower.begin(), lower.end(), lower.begin(), ::tolower);
    const size_t range = lower.find("range: bytes=");
    count += range == std::string::npos || lower.compare(range + 13, 2, "0-") == 0;
  }
  return count;
}

TEST(TracksEndToEnd, TheSecondAudioTrackSwitchesOnThePictureInEachEngineWithoutReopening) {
  TempFolder media;
  const std::string clip = makeTwoTrackClip(media.path(), 60);
  const struct Case {
    const char* engine;
    bool fallback;
  } cases[] = {{"libVLC", false}, {"libmpv", true}};
  // ZELVO_TRACKS_UNDER_LOAD keeps every core busy, to see the test hold on a loaded machine.
  std::unique_ptr<CpuLoad> load;
  if (std::getenv("ZELVO_TRACKS_UNDER_LOAD")) load = std::make_unique<CpuLoad>();

  for (const Case& c : cases) {
    SCOPED_TRACE(c.engine);
    LoopbackHttpServer server(media.path());
    TempFolder app;
    writeGbkLines(app.file("tv_lib.txt"), {"双语台," + server.url(clip) + ",-999,假,假", "end"});
    std::vector<int> states;  // outlives the window, which may still report while it goes
    ComponentOptions options;
    options.vlcArguments = {"--aout=dummy"};
    options.mpvOptions = {{"ao", "null"}};
    ZelvoApplication zelvo(app.path(), options);
    zelvo.start();
    ASSERT_FALSE(zelvo.endRequested());
    FormControls& f = zelvo.window().controls();
    WindowsMediaPlayer& wmp = zelvo.primaryPlayer();
    RealPlayer& real = zelvo.fallbackPlayer();
    const auto play = [&] {
      if (c.fallback)
        zelvo.window().playback().PlayWithRealPlayer(server.url(clip));
      else
        f.Command2.userClicked();
    };
    play();
    const auto tracks = [&] { return c.fallback ? real.tracks() : wmp.tracks(); };
    const auto playing = [&] {
      return c.fallback ? real.playState() == RealState::Playing
                        : wmp.playState() == WmpState::Playing;
    };
    const auto selectedLanguage = [&] {
      for (const MediaTrack& track : tracks())
        if (track.kind == TrackKind::Audio && track.selected) return track.language;
      return std::string();
    };
    ASSERT_TRUE(waitUntil([&] { return playing() && selectedLanguage() == "eng"; }, 30000));
    processEventsFor(1000);

    // States the player reports from the switch on.
    wmp.playStateChange.listen([&](int state) { states.push_back(state); });
    real.stateChange.listen([&](int, int state) { states.push_back(state); });
    const size_t opened = readsFromStart(server, "/" + clip);

    QWidget* window = zelvo.view().window();
    QWidget* picture = zelvo.view().widgetOf(c.fallback ? f.RealAudio1 : f.WindowsMediaPlayer1);
    const QPoint centre = picture->mapTo(window, picture->rect().center());
    XClient x(privateXServer().display());
    const std::vector<std::string> menu = rightClickMenu(x, window, centre, "chi — 中文");
    // Neither engine turns the subtitles on by itself.
    const std::vector<std::string> expected = {"音轨", "* eng — English", "chi — 中文", "字幕",
                                               "eng",  "* 关闭字幕"};
    EXPECT_EQ(menu, expected);

    EXPECT_TRUE(waitUntil([&] { return selectedLanguage() == "chi"; }, 10000));
    processEventsFor(3000);
    EXPECT_TRUE(playing());
    // From the switch on the player only plays: no opening, no stop.
    const int playingState = c.fallback ? RealState::Playing : WmpState::Playing;
    EXPECT_TRUE(std::all_of(states.begin(), states.end(), [&](int state) {
      return state == playingState;
    })) << testing::PrintToString(states);
    EXPECT_EQ(readsFromStart(server, "/" + clip), opened);
    const std::vector<uint32_t> pixels =
        x.pixels(window->winId(), centre.x() - 40, centre.y() - 30, 80, 60);
    EXPECT_GT(std::set<uint32_t>(pixels.begin(), pixels.end()).size(), 3u);

    // The choice belongs to the station that played: played again, it starts on its first track.
    play();
    EXPECT_TRUE(waitUntil([&] { return playing() && selectedLanguage() == "eng"; }, 30000))
        << selectedLanguage();
    zelvo.window().playback().StopAll();
    processEventsFor(300);
  }
}

}  // namespace
}  // namespace zelvo::test

int main(int argc, char** argv) { return zelvo::test::runIntegrationTestsOnXvfb(argc, argv); }
