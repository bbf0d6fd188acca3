// Start-up and shut-down of the main window: what it loads and shows, the player checks,
// the Escape key, and the position saved at the end.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "fakes/WindowHarness.h"
#include "support/ReadOnlyFolder.h"

using ::testing::ElementsAre;

namespace zelvo::test {
namespace {

class StartUpTest : public ::testing::Test {
 protected:
  void writeStations() {
    h.writeFile("tv_lib_ss_jg.txt", {"J1,j://1,", "J2,j://2,"});
    h.writeFile("tv_lib_ss_www.txt", {"W1,w://1,"});
    h.writeFile("tv_lib.txt", {"L1,l://1,-999,假,假", "L2,l://2,-999,假,假", "end"});
  }
  WindowHarness h;
};

TEST_F(StartUpTest, LoadsResultsFirstLibraryLastThenTempFolderAndShowsTheFirstRow) {
  writeStations();
  std::filesystem::create_directory(h.path("temp"));
  std::ofstream(h.path("temp/News.HTM")) << "<html/>";
  std::ofstream(h.path("temp/a.asx.bak")) << "x";
  h.window->StartUp();
  EXPECT_THAT(h.rows(), ElementsAre("J1|j://1", "J2|j://2", "-------------|-------------",
                                    "W1|w://1", "-------------|-------------", "L1|l://1",
                                    "L2|l://2", "News|" + h.path("temp/News.HTM")));
  EXPECT_EQ(h.c.tvm.text(), "J1");
  EXPECT_EQ(h.c.dz1.text(), "j://1");
  EXPECT_EQ(h.c.form1.caption(), "Zelvo ver 3.5");
  EXPECT_EQ(h.c.form1.height(), 6500);
  EXPECT_EQ(h.c.form1.width(), 8415);
  EXPECT_TRUE(h.c.form1.visible());
  EXPECT_TRUE(h.c.Command3.visible());
  EXPECT_EQ(h.c.Command3.caption(), "0");  // counted before the files are loaded
  EXPECT_TRUE(h.c.l.visible() && h.c.Text1.visible() && h.c.dz1.enabled());
  EXPECT_FALSE(h.c.WebBrowser1.visible());
  EXPECT_EQ(h.s.workMode, 10);
  EXPECT_EQ(h.s.playerKind, PlayerKind::None);
  EXPECT_TRUE(h.log.startingWith("wmp.URL").empty());
  EXPECT_TRUE(h.process.endedWith.empty());
  EXPECT_THAT(h.log.startingWith("real."),
              ElementsAre("real.setWantErrors 1", "real.setCacheSeconds 3",
                          "real.setMaintainAspect 1", "real.setVideoEnabled 1",
                          "real.setAudioEnabled 1", "real.setWantStatusEvents 1"));
}

TEST_F(StartUpTest, SavedPositionIsShownAndOutOfRangeValuesShowTheFirstRow) {
  writeStations();
  struct Case {
    std::vector<std::string> file;
    std::string shown;
  } cases[] = {
      {{"win", "5"}, "L1"},
      {{"real", "6"}, "L2"},
      {{"win", "7"}, "J1"},  // 7 rows: 7 is past the end
      {{"win", "99"}, "J1"},
      {{"win", "-1"}, "J1"},
      {{"win", "2.5"}, "-------------"},  // half to even: 2
      {{"win", "5.5"}, "L2"},             // 6
      {{"win", "5.4"}, "L1"},
      {{"real", "  6  "}, "L2"},
      {{"win", "99999999999999999999"}, "J1"},
      {{"win", "1e400"}, "J1"},
      {{"win", "5", "extra", "lines"}, "L1"},
      {{"中文", "5"}, "L1"},
      {{"win", "x"}, "J1"},
      {{"win"}, "J1"},
      {{}, "J1"},
  };
  for (const auto& test : cases) {
    WindowHarness fresh;
    fresh.writeFile("tv_lib_ss_jg.txt", {"J1,j://1,", "J2,j://2,"});
    fresh.writeFile("tv_lib_ss_www.txt", {"W1,w://1,"});
    fresh.writeFile("tv_lib.txt", {"L1,l://1,-999,假,假", "L2,l://2,-999,假,假", "end"});
    fresh.writeFile("bfwz.dat", test.file);
    fresh.window->StartUp();
    EXPECT_EQ(fresh.c.tvm.text(), test.shown) << ::testing::PrintToString(test.file);
    EXPECT_EQ(fresh.c.form1.height(), 6500);
  }
}

TEST_F(StartUpTest, OnlyPlaylistsAndPagesOfTheTempFolderBecomeRows) {
  namespace fs = std::filesystem;
  fs::create_directories(h.path("temp/folder.asx"));
  for (const char* name : {"Show.AsX", "news.htm", "page.html", "a.asx.bak", "asx", ".htm",
                           "notes.txt", "中文台.ASX"}) {
    std::ofstream(h.path(std::string("temp/") + name)) << "x";
  }
  h.window->StartUp();
  std::vector<std::string> names;
  for (int i = 0; i < h.c.tvm.count(); ++i) names.push_back(h.c.tvm.row(i));
  std::sort(names.begin(), names.end());
  EXPECT_THAT(names, ElementsAre("", "Show", "news", "中文台"));
  h.c.tvm.setText("Show");
  EXPECT_EQ(h.c.dz1.row(h.c.tvm.selectedIndex()), h.path("temp/Show.AsX"));
}

TEST_F(StartUpTest, NoStationFilesAtAllGivesAnEmptyListAndAWorkingWindow) {
  h.window->StartUp();
  EXPECT_EQ(h.c.tvm.count(), 0);
  EXPECT_EQ(h.c.tvm.text(), "");
  EXPECT_TRUE(h.process.endedWith.empty());
}

// The window shows before its lists are read, and reading lets presses through: a press on 播放
// then has no station to play. Late news of that empty press must not wipe the station shown.
TEST_F(StartUpTest, APressOnPlayWhileTheListsAreReadWaitsForAStationAndLosesNone) {
  writeStations();
  h.loop.duringYield([&] { h.c.Command2.userClicked(); });
  h.window->StartUp();
  h.loop.runPending();
  EXPECT_TRUE(h.log.startingWith("wmp.URL").empty());
  EXPECT_EQ(h.c.dz1.text(), "j://1");
  h.c.Command2.userClicked();
  EXPECT_THAT(h.log.startingWith("wmp.URL"), ElementsAre("wmp.URL j://1"));
}

TEST_F(StartUpTest, PlayerChecksEndTheProcessWithTheirMessage) {
  struct Case {
    std::string wmp, real;
    bool failWmp, failReal;
    std::string message;
  } cases[] = {
      {"9.0.0.2980", "6.0.11.847", false, false, ""},
      {"10.1", "6.", false, false, ""},
      {"8.9.9", "6.0", false, false, "请安装 WindowsMediaPlayer 9.0.0.2980 及以上版本"},
      {"12", "6.0", false, false, "请安装 WindowsMediaPlayer 9.0.0.2980 及以上版本"},
      {"12.0", "5.9", false, false, "请安装 Real 6.0.11.847 及以上版本"},
      {"8.0", "5.0", false, false, "请安装 WindowsMediaPlayer 9.0.0.2980 及以上版本"},
      {"12.0", "6.0", true, false, "请安装 WindowsMediaPlayer 9.0.0.2980 及以上版本"},
      {"12.0", "6.0", false, true, "请安装 Real 6.0.11.847 及以上版本"},
      {"v9.0", "6.0", false, false, "请安装 WindowsMediaPlayer 9.0.0.2980 及以上版本"},
  };
  for (const auto& test : cases) {
    WindowHarness fresh;
    fresh.wmp.version = test.wmp;
    fresh.real.version = test.real;
    if (test.failWmp) fresh.failures.failOn("wmp.versionInfo");
    if (test.failReal) fresh.failures.failOn("real.versionInfo");
    fresh.window->StartUp();
    SCOPED_TRACE(test.wmp + " / " + test.real);
    if (test.message.empty()) {
      EXPECT_TRUE(fresh.messages.shown.empty());
      EXPECT_TRUE(fresh.process.endedWith.empty());
    } else {
      ASSERT_EQ(fresh.messages.shown.size(), 1u);
      EXPECT_EQ(fresh.messages.shown[0].text, test.message);
      EXPECT_EQ(fresh.messages.shown[0].title, "Zelvo");
      EXPECT_THAT(fresh.process.endedWith, ElementsAre(1));
      EXPECT_FALSE(fresh.exists("bfwz.dat"));  // ending this way saves nothing
    }
  }
}

TEST_F(StartUpTest, EscapeShrinksTheWindowAndOtherKeysDoNothing) {
  h.window->StartUp();
  h.c.form1.setWidth(14505);
  h.c.form1.userKeyDown(13);
  EXPECT_EQ(h.c.form1.width(), 14505);
  h.c.form1.userKeyDown(27);
  EXPECT_EQ(h.c.form1.width(), 6225);
  EXPECT_EQ(h.c.form1.height(), 5235);
}

TEST_F(StartUpTest, ShutDownSavesTheSelectedRowOnlyAfterSomethingWasPlayed) {
  writeStations();
  h.writeFile("bfwz.dat", {"real", "3"});
  h.window->StartUp();
  h.c.form1.userClosed();
  EXPECT_THAT(h.readFile("bfwz.dat"), ElementsAre("real", "3"));  // nothing played: kept
  EXPECT_THAT(h.process.endedWith, ElementsAre(0));
  EXPECT_FALSE(h.c.form1.visible());

  WindowHarness second;
  second.writeFile("tv_lib.txt", {"A,a://1,", "B,b://2,", "end"});
  second.window->StartUp();
  second.c.Command5.userClicked();  // plays B
  second.c.form1.userClosed();
  EXPECT_THAT(second.readFile("bfwz.dat"), ElementsAre("win", "1"));

  WindowHarness third;
  third.writeFile("tv_lib.txt", {"A,a://1,", "end"});
  third.window->StartUp();
  third.c.Command2.userClicked();
  third.c.tvm.setText("typed by the user");
  third.c.form1.userClosed();
  EXPECT_THAT(third.readFile("bfwz.dat"), ElementsAre("win", "-1"));
  EXPECT_FALSE(third.exists("dqwz.dat"));
}

TEST_F(StartUpTest, ThePositionSavedAtTheEndIsShownAtTheNextStart) {
  writeStations();
  h.window->StartUp();
  h.c.tvm.userChoseRow(6);  // plays L2
  h.c.form1.userClosed();
  EXPECT_THAT(h.readFile("bfwz.dat"), ElementsAre("win", "6"));

  WindowHarness next;
  for (const char* name : {"tv_lib_ss_jg.txt", "tv_lib_ss_www.txt", "tv_lib.txt", "bfwz.dat"})
    std::filesystem::copy_file(h.path(name), next.path(name));
  next.window->StartUp();
  EXPECT_EQ(next.c.tvm.text(), "L2");
  EXPECT_EQ(next.c.dz1.text(), "l://2");
}

TEST_F(StartUpTest, ClosingDuringAScanSavesTheScanTextAndPositionBeforeThePlayPosition) {
  writeStations();
  h.window->StartUp();
  h.c.Command5.userClicked();
  h.s.workMode = WorkMode::ListScan;
  h.c.Text2.setText("L9,http://x/9,");
  h.writeFile("tv_lib_ss_jg.txt", {"A,a,", "B,b,"});
  // Only the first two files written at the end succeed: the scan text, then the scan position.
  h.files.failOn(FileOperation::Create, 2);
  h.c.form1.userClosed();
  // The finds already in the file stay; the scan text joins them.
  EXPECT_THAT(h.readFile("tv_lib_ss_jg.txt"), ElementsAre("A,a,", "B,b,", "L9,http://x/9,"));
  EXPECT_THAT(h.readFile("dqwz.dat"), ElementsAre("win", "1"));
  EXPECT_FALSE(h.exists("bfwz.dat"));
  EXPECT_THAT(h.process.endedWith, ElementsAre(0));
}

TEST_F(StartUpTest, AReadOnlyFolderStillStartsAndEndsCleanly) {
  writeStations();
  h.writeFile("bfwz.dat", {"win", "5"});
  ReadOnlyFolder readOnly(h.folder.path());
  if (!readOnly.active()) GTEST_SKIP() << "this machine cannot make a folder read-only";
  h.window->StartUp();
  EXPECT_EQ(h.c.tvm.text(), "L1");
  h.c.Command5.userClicked();
  h.c.form1.userClosed();
  EXPECT_THAT(h.readFile("bfwz.dat"), ElementsAre("win", "5"));
  EXPECT_THAT(h.process.endedWith, ElementsAre(0));
}

}  // namespace
}  // namespace zelvo::test
