// The context menu on the playing picture: each player's audio and subtitle tracks as the user
// sees them, the choice handed to the player whose picture was clicked, and the menu following
// the stream's changes.
#include <gtest/gtest.h>

#include "fakes/WindowHarness.h"

namespace zelvo::test {
namespace {

// The entries as shown: "# " before a heading, "* " before a marked entry.
std::vector<std::string> shown(const Control& area) {
  std::vector<std::string> lines;
  for (const ContextEntry& entry : area.contextEntries())
    lines.push_back((entry.heading ? "# " : entry.checked ? "* " : "") + entry.caption);
  return lines;
}

MediaTrack audio(int id, std::string language, std::string title, bool selected = false) {
  return {TrackKind::Audio, id, std::move(language), std::move(title), selected};
}
MediaTrack subtitle(int id, std::string language, std::string title, bool selected = false) {
  return {TrackKind::Subtitle, id, std::move(language), std::move(title), selected};
}

TEST(TrackMenu, ListsTheTracksOfThePictureClickedAndSwitchesWithoutReopening) {
  const std::vector<MediaTrack> twoAudio = {audio(1, "eng", "English", true), audio(2, "chi", "")};
  const struct Case {
    const char* name;
    bool fallback;  // the fallback player's picture, else the primary's
    std::vector<MediaTrack> tracks;
    std::vector<std::string> menu;
    std::string choose;                  // the entry the user picks; none when empty
    std::string call;                    // what the player is asked
    std::vector<MediaTrack> changedTo;   // what the stream holds next, without a choice
    std::vector<std::string> menuAfter;  // as menu when empty
  } cases[] = {
      {"no tracks", false, {}, {}, "", "", {}, {}},
      {"two audio tracks, the second chosen",
       false,
       twoAudio,
       {"# 音轨", "* eng — English", "chi"},
       "chi",
       "wmp.selectTrack audio 2",
       {},
       {"# 音轨", "eng — English", "* chi"}},
      {"subtitles turned off, unnamed tracks by their place",
       false,
       {audio(4, "", "", true), audio(5, "", ""), subtitle(7, "", "", true),
        subtitle(8, "chi", "中文")},
       {"# 音轨", "* 音轨 1", "音轨 2", "# 字幕", "* 字幕 1", "chi — 中文", "关闭字幕"},
       "关闭字幕",
       "wmp.selectTrack sub -1",
       {},
       {"# 音轨", "* 音轨 1", "音轨 2", "# 字幕", "字幕 1", "chi — 中文", "* 关闭字幕"}},
      {"the list follows the stream",
       false,
       {audio(1, "eng", "", true)},
       {"# 音轨", "* eng"},
       "",
       "",
       {audio(1, "eng", "", true), audio(2, "fra", "Français"), subtitle(3, "eng", "")},
       {"# 音轨", "* eng", "fra — Français", "# 字幕", "eng", "* 关闭字幕"}},
      {"the fallback player's picture",
       true,
       twoAudio,
       {"# 音轨", "* eng — English", "chi"},
       "chi",
       "real.selectTrack audio 2",
       {},
       {"# 音轨", "eng — English", "* chi"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    WindowHarness h;
    FakeTracks& tracks = c.fallback ? h.real.streamTracks() : h.wmp.streamTracks();
    HostArea& picture = c.fallback ? h.c.RealAudio1 : h.c.WindowsMediaPlayer1;
    HostArea& other = c.fallback ? h.c.WindowsMediaPlayer1 : h.c.RealAudio1;
    tracks.set(c.tracks);
    h.loop.runPending();
    picture.userOpensContextMenu();
    other.userOpensContextMenu();
    EXPECT_EQ(shown(picture), c.menu);
    EXPECT_TRUE(shown(other).empty());

    if (!c.choose.empty()) {
      const auto& entries = picture.contextEntries();
      size_t index = 0;
      while (index < entries.size() && entries[index].caption != c.choose) ++index;
      ASSERT_LT(index, entries.size());
      h.log.clear();
      picture.userContextEntry(index, c.choose);
      h.loop.runPending();
      // Only the switch: no new address, no stop, no play.
      EXPECT_EQ(h.log.calls(), std::vector<std::string>{c.call});
      // A choice the menu no longer holds at that place is dropped.
      picture.userContextEntry(index, "stale");
      EXPECT_EQ(h.log.calls().size(), 1u);
    } else if (!c.changedTo.empty()) {
      tracks.set(c.changedTo);
      h.loop.runPending();
    }
    EXPECT_EQ(shown(picture), c.menuAfter.empty() ? c.menu : c.menuAfter);
  }
}

}  // namespace
}  // namespace zelvo::test
