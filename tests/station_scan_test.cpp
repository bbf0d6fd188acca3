// The station list scan: which rows it tries, that it records only stations that really play,
// what stop and the end of the list show, the default results, and a scan after a web search.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "fakes/WindowHarness.h"

using ::testing::ElementsAre;
using ::testing::IsEmpty;

namespace zelvo::test {
namespace {

class StationScanTest : public ::testing::Test {
 protected:
  void SetUp() override { h.playOnlyLiveAddresses(); }
  std::vector<std::string> tried(const std::string& call) const { return h.addressesGivenTo(call); }
  WindowHarness h;
};

TEST_F(StationScanTest, AScanTriesEveryRowAfterTheFirstAndRecordsOnlyTheLiveOnes) {
  h.writeFile("tv_lib_ss_www.txt", {"0tvm,http://live/w0.ts,", "1tvm,http://dead/w1.ts,"});
  h.writeFile("tv_lib_ss.txt", {"C0,http://live/c0.ts,", "系列,http://s/ch%02%.ts,",
                                "C2,rtsp://127.0.0.1:1/refused,", "C3,http://live/c3.ts,"});
  h.window->StartUp();
  h.log.clear();
  h.c.Command10.userClicked();
  EXPECT_EQ(h.s.workMode, WorkMode::ListScan);
  EXPECT_EQ(h.c.form1.rect().width, 8415);
  h.loop.advance(5000);

  // Row 0 is never tried. A row that fails in the primary player moves the list on at once,
  // and the fallback player is handed the next row: the separator and the refused address are
  // tried there. The template is tried as it stands. Nothing is opened after the last row.
  EXPECT_THAT(tried("wmp.URL"), ElementsAre("http://dead/w1.ts", "http://live/c0.ts",
                                            "http://s/ch%02%.ts", "http://live/c3.ts"));
  EXPECT_THAT(tried("real.setSource"), ElementsAre("-------------", "rtsp://127.0.0.1:1/refused"));
  EXPECT_THAT(h.readFile("tv_lib_ss_jg.txt"),
              ElementsAre("C0,http://live/c0.ts,", "C3,http://live/c3.ts,"));
  ASSERT_EQ(h.messages.shown.size(), 1u);
  EXPECT_EQ(h.messages.shown[0].text, "搜索完毕！");
  EXPECT_THAT(h.rows(), ElementsAre("C0|http://live/c0.ts", "C3|http://live/c3.ts"));
  EXPECT_EQ(h.c.tvm.text(), "C0");

  // A late state of the player leaves the first result in dz1, and "播放" plays it.
  h.wmp.enter(WmpState::Ready);
  h.loop.advance(100);
  EXPECT_EQ(h.c.dz1.text(), "http://live/c0.ts");
  h.c.Command2.userClicked();
  h.loop.advance(5000);
  EXPECT_EQ(h.messages.shown.size(), 1u);
  EXPECT_EQ(tried("wmp.URL").back(), "http://live/c0.ts");
}

TEST_F(StationScanTest, AScanWhoseLastRowIsDeadEndsOnceAndStartsNothingAfterwards) {
  h.writeFile("tv_lib_ss.txt",
              {"A,http://live/a.ts,", "B,http://live/b.ts,", "C,http://dead/c.ts,"});
  h.window->StartUp();
  h.c.Command10.userClicked();
  h.loop.advance(5000);
  EXPECT_EQ(h.messages.shown.size(), 1u);
  EXPECT_THAT(tried("real.setSource"), IsEmpty());
  EXPECT_THAT(h.readFile("tv_lib_ss_jg.txt"), ElementsAre("B,http://live/b.ts,"));

  // The same when the last row fails in the fallback player.
  h.writeFile("tv_lib_ss.txt",
              {"A,http://live/a.ts,", "B,http://dead/b.ts,", "C,http://dead/c.ts,"});
  h.log.clear();
  h.c.Command10.userClicked();
  h.loop.advance(5000);
  EXPECT_EQ(h.messages.shown.size(), 2u);
  EXPECT_THAT(tried("wmp.URL"), ElementsAre("http://dead/b.ts"));
  EXPECT_THAT(tried("real.setSource"), ElementsAre("http://dead/c.ts"));

  // A list of one row has nothing to try: the scan ends at once, and the end is told once.
  h.writeFile("tv_lib_ss.txt", {"A,http://live/a.ts,"});
  h.log.clear();
  h.c.Command10.userClicked();
  h.loop.advance(5000);
  EXPECT_EQ(h.messages.shown.size(), 3u);
  EXPECT_THAT(tried("wmp.URL"), IsEmpty());
  EXPECT_THAT(tried("real.setSource"), IsEmpty());
}

TEST_F(StationScanTest, StopInTheMiddleKeepsTheFindsAndShowsThemWithTheTempPlaylists) {
  h.writeFile("tv_lib_ss.txt", {"A,http://live/a.ts,", "B,http://live/b.ts,", "C,http://live/c.ts,",
                                "D,http://live/d.ts,"});
  h.window->StartUp();
  h.c.Command10.userClicked();
  h.loop.advance(15);  // B plays and is recorded; C is on its way
  h.c.Command9.userClicked();
  h.loop.advance(5000);
  EXPECT_THAT(h.readFile("tv_lib_ss_jg.txt"), ElementsAre("B,http://live/b.ts,"));
  EXPECT_THAT(h.rows(), ElementsAre("B|http://live/b.ts"));
  EXPECT_EQ(h.s.workMode, WorkMode::Playing);
  EXPECT_TRUE(h.exists("dqwz.dat"));
  EXPECT_THAT(h.messages.shown, IsEmpty());
}

TEST_F(StationScanTest, AScanAfterAWebSearchKeepsItsFindsAndTheNextOneReloadsTheFiles) {
  h.writeFile("tv_lib_ss.txt", {"Cand,http://live/cand.ts,", "Cand2,http://live/cand2.ts,"});
  h.window->StartUp();
  h.browser.servePage("http://site/", {"", "http://live/f0.ts?x.rm", "http://live/f1.ts?x.rm"});
  h.c.tvm.setText("http://site/");
  h.c.Command17.userClicked();
  h.loop.advance(h.browser.loadMs);
  ASSERT_THAT(h.rows(), ElementsAre("0tvm|http://live/f0.ts?x.rm", "1tvm|http://live/f1.ts?x.rm"));

  h.c.Command10.userClicked();
  EXPECT_EQ(h.c.Command17.caption(), "网上搜索");
  h.loop.advance(5000);
  EXPECT_THAT(h.readFile("tv_lib_ss_jg.txt"), ElementsAre("1tvm,http://live/f1.ts?x.rm,"));

  // With no web search since, the next scan loads the web finds and the candidates afresh.
  h.c.Command10.userClicked();
  EXPECT_THAT(h.rows(), ElementsAre("0tvm|http://live/f0.ts?x.rm", "1tvm|http://live/f1.ts?x.rm",
                                    "-------------|-------------", "Cand|http://live/cand.ts",
                                    "Cand2|http://live/cand2.ts"));
}

TEST_F(StationScanTest, TheDefaultsButtonRestoresTheDefaultResultsBeforeEverythingElse) {
  h.writeFile("tv_lib_ss_jg.txt", {"Old,http://o/1,"});
  h.writeFile("tv_lib_ss_jg_y.txt", {"Def,http://d/1,"});
  h.writeFile("tv_lib_ss_www.txt", {"0tvm,mms://w/0,"});
  h.writeFile("tv_lib.txt", {"Lib,http://l/1,-999,假,假", "end"});
  h.window->StartUp();
  h.c.Command16.userClicked();
  EXPECT_THAT(h.readFile("tv_lib_ss_jg.txt"), ElementsAre("Def,http://d/1,"));
  EXPECT_THAT(h.rows(),
              ElementsAre("Def|http://d/1", "-------------|-------------", "0tvm|mms://w/0",
                          "-------------|-------------", "Lib|http://l/1"));
  EXPECT_EQ(h.c.tvm.text(), "Def");
}

}  // namespace
}  // namespace zelvo::test
