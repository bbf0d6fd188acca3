// The station selectors and the panels around them: choosing a name or an address, Enter on a
// typed name, the add button's caption and tip, the compact and full views, and the short log.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "fakes/WindowHarness.h"

using ::testing::ElementsAre;

namespace zelvo::test {
namespace {

class SelectorsTest : public ::testing::Test {
 protected:
  SelectorsTest() {
    h.writeFile("tv_lib.txt", {"CCTV,mms://a/1,", "Phoenix,http://p/ch%05%.ts,", "CCTV,mms://a/2,",
                               "Page,http://x/a.htm,", "end"});
    h.window->StartUp();
    h.log.clear();
  }
  WindowHarness h;
};

TEST_F(SelectorsTest, ChoosingANamePlaysItsAddressAndShowsItsRowIndex) {
  h.c.Timer8.setEnabled(true);
  h.c.tvm.userChoseRow(1);
  EXPECT_EQ(h.c.dz1.text(), "http://p/ch%05%.ts");
  EXPECT_THAT(h.log.calls(),
              ElementsAre("wmp.stop", "wmp.close", "real.doStop", "browser.stop",
                          "wmp.playCount 10", "real.clearQueuedClips", "real.doStop", "wmp.stop",
                          "wmp.clearErrorQueue", "wmp.URL http://p/ch06.ts"));
  EXPECT_EQ(h.c.Command3.caption(), "1");
  EXPECT_EQ(h.c.Command3.toolTip(), "在列表框中序号");
  EXPECT_EQ(h.c.form1.height(), 6500);  // a click is no text change
  EXPECT_EQ(h.s.workMode, 10);
  EXPECT_FALSE(h.c.Timer8.enabled());

  // The second "CCTV" row: the clicked row counts, not the first with that name.
  h.c.tvm.userChoseRow(2);
  EXPECT_EQ(h.c.dz1.text(), "mms://a/2");
  EXPECT_EQ(h.c.Command3.caption(), "2");
}

TEST_F(SelectorsTest, ChoosingAnAddressShowsItsNameInTheFullWindow) {
  h.s.workMode = -10;
  h.c.dz1.userChoseRow(3);
  EXPECT_EQ(h.c.tvm.text(), "Page");
  EXPECT_EQ(h.c.form1.height(), 8000);
  EXPECT_EQ(h.c.Command3.caption(), "3");
  EXPECT_EQ(h.s.workMode, 10);
  EXPECT_EQ(h.log.calls().back(), "browser.navigate http://x/a.htm");
  EXPECT_TRUE(h.c.WebBrowser1.visible());
}

TEST_F(SelectorsTest, EnterPlaysTheFirstRowWithTheTypedNameInTheListsLetterCase) {
  h.c.tvm.setText("cctv");
  h.c.tvm.userKeyDown(65);  // any other key does nothing
  EXPECT_TRUE(h.log.calls().empty());
  h.c.tvm.userKeyDown(13);
  EXPECT_EQ(h.c.tvm.text(), "CCTV");
  EXPECT_EQ(h.c.dz1.text(), "mms://a/1");
  // No stop first and no expansion: the address goes as it stands.
  EXPECT_THAT(h.log.calls(), ElementsAre("real.clearQueuedClips", "real.doStop", "wmp.stop",
                                         "wmp.clearErrorQueue", "wmp.URL mms://a/1"));
  h.log.clear();
  h.c.tvm.setText("nowhere");
  h.c.tvm.userKeyDown(13);
  EXPECT_TRUE(h.log.calls().empty());
}

TEST_F(SelectorsTest, TheAddButtonsCaptionFollowsTheFocus) {
  h.c.dz1.setVisible(false);
  h.c.tvm.userFocusChanged(true);
  EXPECT_TRUE(h.c.dz1.visible());
  EXPECT_EQ(h.c.Command3.caption(), "增加");
  EXPECT_EQ(h.c.Command3.toolTip(), "增加电视台地址");
  h.c.tvm.userChoseRow(0);
  EXPECT_EQ(h.c.Command3.caption(), "0");
  h.c.tvm.userFocusChanged(false);
  EXPECT_EQ(h.c.Command3.caption(), "增加");
  h.c.Command3.userFocusChanged(true);
  h.c.Command3.userFocusChanged(false);
  EXPECT_EQ(h.c.Command3.caption(), "add");
  h.c.tvm.setVisible(false);
  h.c.dz1.userFocusChanged(true);
  EXPECT_TRUE(h.c.tvm.visible());
  EXPECT_EQ(h.c.Command3.caption(), "增加");
}

TEST_F(SelectorsTest, TheFrameAndTheLengthLabelSwitchBetweenCompactAndFullViews) {
  ASSERT_EQ(h.c.form1.height(), 6500);
  h.c.Label1.userClicked();  // anything but exactly 8000 gives the full view
  EXPECT_EQ(h.c.form1.height(), 8000);
  EXPECT_TRUE(h.c.dz1.visible() && h.c.Text1.visible() && h.c.l.visible());
  h.c.Label1.userClicked();
  EXPECT_EQ(h.c.form1.height(), 6500);
  EXPECT_FALSE(h.c.dz1.visible() || h.c.Text1.visible() || h.c.l.visible());

  h.c.form1.setWidth(14505);
  h.c.Frame1.userClicked();
  EXPECT_EQ(h.c.form1.width(), 8415);
  EXPECT_EQ(h.c.form1.height(), 8000);
}

TEST_F(SelectorsTest, TheLogIsCutBackOnceItGrowsPast100000Characters) {
  h.c.Text1.setText(std::string(100000, 'a'));
  EXPECT_EQ(h.c.Text1.text().size(), 100000u);
  // Characters, not bytes: 100,001 Chinese characters are cut to 1,000 of them.
  std::string chinese;
  for (int i = 0; i < 100001; ++i) chinese += "台";
  h.c.Text1.setText(chinese);
  EXPECT_EQ(h.c.Text1.text().size(), 3000u);
  EXPECT_EQ(h.c.Text1.text().substr(0, 3), "台");
}

// The user's choices and steps up or down the list make the recent list; Backspace outside the
// text fields and "上一个" choose the one before, back and forth.
TEST_F(SelectorsTest, ChoicesAreRecentAndBackspaceGoesBackOutsideTextFields) {
  auto recent = [&] {
    std::vector<std::string> names;
    for (const StationRef& s : h.window->recent().stations())
      names.push_back(s.name + "|" + s.address);
    return names;
  };
  h.c.form1.userKeyDown(8);  // nothing chosen yet: nothing happens
  EXPECT_TRUE(h.log.calls().empty());
  h.c.tvm.userChoseRow(1);
  h.c.dz1.userChoseRow(3);
  h.c.tvm.setText("cctv");
  h.c.tvm.userKeyDown(13);
  h.c.Command5.userClicked();  // a step down the list plays the next row
  EXPECT_THAT(recent(),
              ElementsAre("Phoenix|http://p/ch%05%.ts", "CCTV|mms://a/1", "Page|http://x/a.htm"));
  EXPECT_EQ(h.readFile("tv_recent.txt").size(), 3u);

  h.c.Text1.userFocusChanged(true);
  h.log.clear();
  h.c.form1.userKeyDown(8);
  EXPECT_TRUE(h.log.calls().empty()) << "Backspace in a text field edits it";
  h.c.Text1.userFocusChanged(false);
  struct Step {
    std::function<void()> act;
    std::string shown;
    int row;
    std::string played;
  } steps[] = {
      {[&] { h.c.form1.userKeyDown(8); }, "CCTV", 0, "wmp.URL mms://a/1"},
      {[&] { h.c.tvm.userContextAction("上一个"); }, "Phoenix", 1, "wmp.URL http://p/ch06.ts"},
      {[&] { h.c.form1.userKeyDown(8); }, "CCTV", 0, "wmp.URL mms://a/1"}};
  for (const Step& step : steps) {
    step.act();
    EXPECT_EQ(h.c.tvm.text(), step.shown);
    EXPECT_EQ(h.c.tvm.selectedIndex(), step.row);
    EXPECT_EQ(h.log.calls().back(), step.played);
  }
}

}  // namespace
}  // namespace zelvo::test
