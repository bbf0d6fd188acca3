// The control models: what setting a text, choosing a row and the list limits raise and keep.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "formats/TextCase.h"
#include "platform/ComboBox.h"
#include "platform/Control.h"
#include "platform/Failure.h"

namespace zelvo::test {
namespace {

struct Counts {
  int change = 0;
  int click = 0;
};

TEST(ComboBoxModel, TypingOrSettingRaisesChangeAndChoosingARowRaisesClickOnly) {
  ComboBox box{"tvm", {}};
  Counts counts;
  box.change.connect([&] { ++counts.change; });
  box.click.connect([&] { ++counts.click; });
  for (const char* row : {"CCTV", "cctv", "Phoenix"}) box.addItem(row);

  box.setText("Phoenix");
  box.setText("Phoenix");  // the same text again changes nothing
  EXPECT_EQ(counts.change, 1);
  EXPECT_EQ(box.selectedIndex(), 2);

  box.userChoseRow(1);
  EXPECT_EQ(counts.change, 1);
  EXPECT_EQ(counts.click, 1);
  EXPECT_EQ(box.text(), "cctv");
  EXPECT_EQ(box.selectedIndex(), 1);  // the clicked row, not the first equal one

  box.setText("CCTV");
  EXPECT_EQ(box.selectedIndex(), 0);
  box.setText("nothing like it");
  EXPECT_EQ(box.selectedIndex(), -1);
  box.userChoseRow(7);  // outside the list: ignored
  EXPECT_EQ(counts.click, 1);
}

TEST(ComboBoxModel, ClickedRowFollowsInsertionsAndRemovals) {
  ComboBox box{"tvm", {}};
  for (const char* row : {"a", "b", "b"}) box.addItem(row);
  box.userChoseRow(2);
  box.addItem("x", 0);
  EXPECT_EQ(box.selectedIndex(), 3);
  box.removeItem(3);
  EXPECT_EQ(box.selectedIndex(), 2);  // now the first row equal to the text
  box.clear();
  EXPECT_EQ(box.count(), 0);
  EXPECT_EQ(box.text(), "");
  EXPECT_EQ(box.selectedIndex(), -1);
}

// The selected row when no row was clicked is the first row equal to the text, however rows came
// and went since the text was set.
TEST(ComboBoxModel, TheFirstRowEqualToTheTextFollowsEveryChangeOfTheRows) {
  ComboBox box{"tvm", {}};
  struct Step {
    const char* what;
    std::function<void()> act;
    int selected;
  } steps[] = {
      {"rows without the text",
       [&] {
         for (const char* row : {"a", "b"}) box.addItem(row);
       },
       -1},
      {"the text set", [&] { box.setText("cctv"); }, -1},
      {"an equal row appended", [&] { box.addItem("CCTV"); }, 2},
      {"another equal row appended", [&] { box.addItem("cctv"); }, 2},
      {"a row put in before it", [&] { box.addItem("x", 0); }, 3},
      {"an equal row put in before it", [&] { box.addItem("Cctv", 1); }, 1},
      {"a row before it removed", [&] { box.removeItem(0); }, 0},
      {"the equal row removed", [&] { box.removeItem(0); }, 2},
      {"a row after it removed", [&] { box.removeItem(3); }, 2},
      {"the text changed", [&] { box.setText("b"); }, 1},
      {"the list cleared and filled again",
       [&] {
         box.clear();
         for (const char* row : {"b", "B"}) box.addItem(row);
       },
       -1},
      {"the text set again", [&] { box.setText("B"); }, 0},
  };
  for (const Step& step : steps) {
    step.act();
    EXPECT_EQ(box.selectedIndex(), step.selected) << step.what;
    EXPECT_EQ(box.firstRowIgnoringCase(box.text()), step.selected) << step.what;
  }
}

TEST(ComboBoxModel, ListHoldsAtMost32767RowsAndReadsOutsideItAsEmpty) {
  ComboBox box{"dz1", {}};
  std::vector<RowChange> seen;
  box.setRowObserver([&](RowChange change) { seen.push_back(change); });
  for (int i = 0; i < kMaxListRows; ++i) box.addItem(std::to_string(i));
  EXPECT_THROW(box.addItem("one more"), PlatformFailure);
  EXPECT_THROW(box.addItem("far", kMaxListRows + 5), PlatformFailure);
  EXPECT_THROW(box.removeItem(-1), PlatformFailure);
  EXPECT_EQ(box.count(), kMaxListRows);
  EXPECT_EQ(seen.size(), static_cast<size_t>(kMaxListRows));
  EXPECT_EQ(box.row(-1), "");
  EXPECT_EQ(box.row(kMaxListRows), "");
  EXPECT_EQ(box.row(kMaxListRows - 1), "32766");
}

TEST(ControlModels, DisabledButtonsIgnoreClicksAndFocusEventsComeInPairs) {
  Button button{"Command14", {}, "暂停"};
  int clicks = 0;
  button.click.connect([&] { ++clicks; });
  button.setEnabled(false);
  button.userClicked();
  button.setEnabled(true);
  button.userClicked();
  EXPECT_EQ(clicks, 1);

  ComboBox box{"tvm", {}};
  std::string events;
  box.gotFocus.connect([&] { events += "in "; });
  box.lostFocus.connect([&] { events += "out "; });
  box.userFocusChanged(true);
  box.userFocusChanged(true);
  box.userFocusChanged(false);
  EXPECT_EQ(events, "in out ");
}

TEST(TextRules, CaseInsensitiveMatchingTouchesOnlyAsciiLetters) {
  EXPECT_TRUE(equalsIgnoringCase("CCTV-1 频道", "cctv-1 频道"));
  EXPECT_FALSE(equalsIgnoringCase("Ä", "ä"));
  EXPECT_TRUE(containsIgnoringCase("C:\\PLAY\\Temp\\x", "play\\temp"));
  EXPECT_FALSE(containsIgnoringCase("C:\\play\\tem", "play\\temp"));
}

}  // namespace
}  // namespace zelvo::test
