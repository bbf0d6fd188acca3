// The track menu on the playing picture of the real window, under a private X server: a
// right-click over each engine's picture lists the audio tracks, by language and title, and the
// subtitles, and choosing the second audio track switches it while the station plays on, its
// address never asked for again; played anew, the station starts on its first. In each engine,
// a loopback clip with two audio tracks and a live HLS stream whose master playlist names two
// audio renditions.
#include <gtest/gtest.h>

#include <QWidget>
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
#include "support/LiveStream.h"
#include "support/LoopbackHttpServer.h"
#include "support/PointerInput.h"
#include "support/QuietComponents.h"
#include "support/TempFolder.h"
#include "support/XClient.h"
#include "support/XvfbServer.h"

namespace zelvo::test {
namespace {

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
  // Neither engine turns the subtitles on by itself.
  const std::vector<std::string> clipMenu = {"音轨", "* eng — English", "chi — 中文", "字幕",
                                             "eng",  "* 关闭字幕"};
  const struct Case {
    const char* what;
    bool fallback;
    bool live;  // the live stream with audio renditions instead of the clip
    std::vector<std::string> menu;
    std::string other;  // the entry of the second audio track
  } cases[] = {
      {"libVLC, clip", false, false, clipMenu, "chi — 中文"},
      {"libmpv, clip", true, false, clipMenu, "chi — 中文"},
      // libVLC names a rendition by its group and its name, and lists the second first.
      {"libVLC, live renditions",
       false,
       true,
       {"音轨", "chi — aud 中文", "* eng — aud English"},
       "chi — aud 中文"},
      // FFmpeg's HLS reader keeps a rendition's name where mpv does not look for a title.
      {"libmpv, live renditions", true, true, {"音轨", "* eng", "chi"}, "chi"},
  };
  // ZELVO_TRACKS_UNDER_LOAD keeps every core busy, to see the test hold on a loaded machine.
  std::unique_ptr<CpuLoad> load;
  if (std::getenv("ZELVO_TRACKS_UNDER_LOAD")) load = std::make_unique<CpuLoad>();

  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TempFolder liveMedia;
    std::unique_ptr<LiveStream> live;
    if (c.live) {
      live = std::make_unique<LiveStream>(liveMedia.path(), LiveStream::Kind::HlsAudioRenditions);
      ASSERT_TRUE(live->waitReady(20000)) << fileBytes(liveMedia.file("ffmpeg.log"));
    }
    LoopbackHttpServer server(c.live ? liveMedia.path() : media.path());
    const std::string path = c.live ? live->playlistName() : clip;
    TempFolder app;
    writeGbkLines(app.file("tv_lib.txt"), {"双语台," + server.url(path) + ",-999,假,假", "end"});
    std::vector<int> states;  // outlives the window, which may still report while it goes
    ZelvoApplication zelvo(app.path(), silentComponents());
    zelvo.start();
    ASSERT_FALSE(zelvo.endRequested());
    FormControls& f = zelvo.window().controls();
    WindowsMediaPlayer& wmp = zelvo.primaryPlayer();
    RealPlayer& real = zelvo.fallbackPlayer();
    const auto play = [&] {
      if (c.fallback)
        zelvo.window().playback().PlayWithRealPlayer(server.url(path));
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
    const auto described = [&] {
      std::string text;
      for (const MediaTrack& track : tracks())
        text += (track.selected ? "* " : "") + std::to_string(track.id) + "|" + track.language +
                "|" + track.title + " ";
      return text;
    };
    ASSERT_TRUE(waitUntil([&] { return playing() && selectedLanguage() == "eng"; }, 30000))
        << described();
    processEventsFor(1000);

    // States the player reports from the switch on.
    wmp.playStateChange.listen([&](int state) { states.push_back(state); });
    real.stateChange.listen([&](int, int state) { states.push_back(state); });
    const size_t opened = readsFromStart(server, "/" + path);
    // The segments of the second rendition, which a player fetches only while it plays it.
    const auto secondSegments = [&] {
      const std::vector<std::string> seen = server.requestedTargets();
      return std::count_if(seen.begin(), seen.end(), [](const std::string& target) {
        return target.rfind("/live_chi_", 0) == 0;
      });
    };
    const auto secondBefore = secondSegments();

    QWidget* window = zelvo.view().window();
    QWidget* picture = zelvo.view().widgetOf(c.fallback ? f.RealAudio1 : f.WindowsMediaPlayer1);
    const QPoint centre = picture->mapTo(window, picture->rect().center());
    XClient x(privateXServer().display());
    EXPECT_EQ(rightClickMenu(x, window, centre, c.other), c.menu);

    EXPECT_TRUE(waitUntil([&] { return selectedLanguage() == "chi"; }, 10000)) << described();
    processEventsFor(3000);
    EXPECT_TRUE(playing());
    // From the switch on the player only plays: no opening, no stop.
    const int playingState = c.fallback ? RealState::Playing : WmpState::Playing;
    EXPECT_TRUE(std::all_of(states.begin(), states.end(), [&](int state) {
      return state == playingState;
    })) << testing::PrintToString(states);
    EXPECT_EQ(readsFromStart(server, "/" + path), opened);
    if (c.live) EXPECT_GE(secondSegments(), secondBefore + 2);
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
