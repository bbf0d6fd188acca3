// Recording what plays: Ctrl+R in both players, the ways a recording ends, the file it leaves,
// and what the user sees when nothing plays or the folder takes no file; and the names and the
// videos folder on the real file system.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <set>

#include "fakes/WindowHarness.h"
#include "platform/posix/PosixFileSystem.h"
#include "playback/RecordingFiles.h"
#include "support/ReadOnlyFolder.h"
#include "support/ScopedEnvironment.h"
#include "support/TimeZone.h"

namespace zelvo::test {
namespace {

namespace fs = std::filesystem;

constexpr int64_t kDec9At1045 = 1796784300;  // 2026-12-09 10:45 in UTC+8

// The window on a file system in memory whose videos folder has a terabyte free.
class RecordingTest : public ::testing::Test {
 public:
  RecordingTest() {
    h.writeFile("tv_lib.txt", {"新闻/台: 1,http://live/1,", "B,http://live/2,"});
    h.window->StartUp();
    h.clock.set(kDec9At1045);
  }
  std::string zelvoFolder() const { return h.disk.videos + "/Zelvo"; }
  void playInPrimary() {
    h.c.tvm.userChoseRow(h.c.tvm.count() - 2);
    h.wmp.enter(WmpState::Playing);
    h.loop.runPending();
  }
  void playInFallback() {
    h.window->playback().PlayWithRealPlayer("rtsp://r/1");
    h.real.enter(RealState::Playing);
    h.loop.runPending();
  }
  void pressCtrlR() {
    h.c.form1.userShortcut("Ctrl+R");
    h.loop.runPending();
  }

  TimeZone zone{"CST-8"};
  WindowHarness h;
};

TEST_F(RecordingTest, EveryWayARecordingEndsLeavesTheFinishedFile) {
  struct Case {
    const char* what;
    bool fallback;
    std::function<void(RecordingTest&)> end;
    const char* message;  // what the message box says first, or nothing
  };
  const Case cases[] = {
      {"Ctrl+R again", false, [](RecordingTest& t) { t.pressCtrlR(); }, nullptr},
      {"Ctrl+R again, fallback", true, [](RecordingTest& t) { t.pressCtrlR(); }, nullptr},
      {"another station", false,
       [](RecordingTest& t) { t.h.c.tvm.userChoseRow(t.h.c.tvm.count() - 1); }, nullptr},
      {"another station, fallback", true, [](RecordingTest& t) { t.h.c.Command4.userClicked(); },
       nullptr},
      {"停止", false, [](RecordingTest& t) { t.h.c.Command9.userClicked(); }, nullptr},
      {"the stream fails", false,
       [](RecordingTest& t) { t.h.wmp.failWith(WmpError::ServerNotFound); }, nullptr},
      {"a full disk", false, [](RecordingTest& t) { t.h.wmp.failRecording("No space left"); },
       "录制已停止"},
      {"a full disk, fallback", true,
       [](RecordingTest& t) { t.h.real.failRecording("No space left"); }, "录制已停止"},
      {"the disk fills up", true,
       [](RecordingTest& t) {
         t.h.disk.freeBytes = 1 << 20;
         t.h.loop.advance(500);
       },
       "录制已停止：磁盘空间不足"},
      {"closing the window", true, [](RecordingTest& t) { t.h.c.form1.userClosed(); }, nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    h.messages.shown.clear();
    c.fallback ? playInFallback() : playInPrimary();
    pressCtrlR();
    ASSERT_TRUE(h.window->recording().recording());
    EXPECT_TRUE(h.window->recording().mark.visible());
    EXPECT_EQ(h.window->recording().mark.caption(), "录制");
    const std::string file = h.window->recording().file();
    EXPECT_TRUE(h.disk.exists(file + ".part"));

    c.end(*this);
    h.loop.runPending();
    h.disk.freeBytes = uintmax_t(1) << 40;
    EXPECT_FALSE(h.window->recording().recording());
    EXPECT_FALSE(h.wmp.recording() || h.real.recording());
    EXPECT_FALSE(h.window->recording().mark.visible() &&
                 h.window->recording().mark.caption() == "录制");
    EXPECT_EQ(h.disk.filesIn(zelvoFolder()),
              std::vector<std::string>{file.substr(zelvoFolder().size() + 1)});
    EXPECT_EQ(h.disk.files[file], "G-packets");
    if (c.message) {
      ASSERT_EQ(h.messages.shown.size(), 1u);
      EXPECT_THAT(h.messages.shown[0].text, ::testing::StartsWith(c.message));
      EXPECT_THAT(h.messages.shown[0].text, ::testing::HasSubstr(file));
    } else {
      EXPECT_TRUE(h.messages.shown.empty());
    }
    h.disk.files.erase(file);
  }
  // The station's name, made safe, and the time on the window's clock name the file.
  EXPECT_EQ(h.log.startingWith("wmp.startRecording").front(),
            "wmp.startRecording " + zelvoFolder() + "/新闻_台_ 1 2026-12-09 10-45-00.ts.part");
}

TEST_F(RecordingTest, WithoutAStreamOrAWritableFolderNothingIsRecorded) {
  struct Case {
    const char* what;
    bool playing;
    bool readOnly;
    uintmax_t freeBytes;
    const char* notice;   // shown over the picture for a while, or nothing
    const char* message;  // the message box, or nothing
  };
  const Case cases[] = {
      {"nothing plays", false, false, 1u << 30, "没有正在播放的节目，无法录制", nullptr},
      {"a nearly full disk", true, false, 1u << 20, nullptr, "无法录制"},
      {"a read-only folder", true, true, 1u << 30, nullptr, "无法录制"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    h.messages.shown.clear();
    if (c.playing) playInPrimary();
    h.disk.freeBytes = c.freeBytes;
    h.disk.readOnly.clear();
    if (c.readOnly) h.disk.readOnly.insert(zelvoFolder());
    pressCtrlR();
    EXPECT_FALSE(h.window->recording().recording());
    EXPECT_TRUE(h.log.startingWith("wmp.startRecording").empty());
    EXPECT_TRUE(h.disk.filesIn(zelvoFolder()).empty());
    EXPECT_EQ(h.window->recording().mark.visible(), c.notice != nullptr);
    if (c.notice) {
      EXPECT_EQ(h.window->recording().mark.caption(), c.notice);
    }
    EXPECT_EQ(h.messages.shown.size(), c.message ? 1u : 0u);
    if (c.message) {
      EXPECT_THAT(h.messages.shown[0].text, ::testing::StartsWith(c.message));
    }
    h.loop.advance(3000);
    EXPECT_FALSE(h.window->recording().mark.visible());
  }
}

TEST(RecordingFilesTest, NamesAndTheVideosFolder) {
  const struct {
    std::string station;
    std::string safe;
  } names[] = {
      {"CCTV-1 综合", "CCTV-1 综合"},
      {"a/b\\c:d*e?f\"g<h>i|j", "a_b_c_d_e_f_g_h_i_j"},
      {"  ..hidden  ", "hidden"},
      {"tab\there\n", "tab_here_"},
      {"", "录像"},
      {"/", "_"},
      {std::string(119, 'x') + "台", std::string(119, 'x')},
  };
  for (const auto& n : names) EXPECT_EQ(safeFileName(n.station), n.safe) << n.station;

  TempFolder home;
  fs::create_directories(home.file(".config"));
  const struct {
    const char* videosVariable;
    const char* userDirs;  // the line in user-dirs.dirs, or nothing
    std::string folder;
  } folders[] = {
      {"/media/v", "XDG_VIDEOS_DIR=\"$HOME/Filme\"", "/media/v"},
      {nullptr, "XDG_VIDEOS_DIR=\"$HOME/视频\"", home.path() + "/视频"},
      {nullptr, "XDG_VIDEOS_DIR=\"/srv/tv\"\r", "/srv/tv"},
      {nullptr, "XDG_MUSIC_DIR=\"$HOME/Music\"", home.path() + "/Videos"},
      {nullptr, nullptr, home.path() + "/Videos"},
  };
  for (const auto& f : folders) {
    ScopedEnvironment env;
    env.set("HOME", home.path().c_str());
    env.set("XDG_CONFIG_HOME", nullptr);
    env.set("XDG_VIDEOS_DIR", f.videosVariable);
    fs::remove(home.file(".config/user-dirs.dirs"));
    if (f.userDirs) std::ofstream(home.file(".config/user-dirs.dirs")) << f.userDirs << "\n";
    EXPECT_EQ(PosixFileSystem().videosFolder(), f.folder);
  }

  // A name already taken, finished or not, gets a number.
  const std::set<std::string> taken{"/v/A 2001-02-03 04-05-06.ts",
                                    "/v/A 2001-02-03 04-05-06 (2).ts.part"};
  std::tm when{};
  when.tm_year = 101, when.tm_mon = 1, when.tm_mday = 3, when.tm_hour = 4, when.tm_min = 5;
  when.tm_sec = 6, when.tm_isdst = -1;
  const RecordingNames free = freeRecordingNames(
      "/v", "A", std::mktime(&when), [&](const std::string& path) { return taken.count(path); });
  EXPECT_EQ(free.file, "/v/A 2001-02-03 04-05-06 (3).ts");
  EXPECT_EQ(free.part, free.file + ".part");
}

}  // namespace
}  // namespace zelvo::test
