// Adding the current station to the library and removing the current row from the list.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>

#include "fakes/WindowHarness.h"

using ::testing::ElementsAre;

namespace zelvo::test {
namespace {

class StationEditingTest : public ::testing::Test {
 protected:
  WindowHarness h;
};

TEST_F(StationEditingTest, AddingStoresTheStationAppendsTheLibraryAndSelectsTheStation) {
  h.writeFile("tv_lib_ss_jg.txt", {"Found,f://1,"});
  h.writeFile("tv_lib.txt", {"Old,o://1,-500,假,假", "end"});
  h.window->StartUp();
  h.c.tvm.setText("新台");
  h.c.dz1.setText("http://new/1");
  h.c.Command3.userClicked();
  EXPECT_THAT(h.readFile("tv_lib.txt"),
              ElementsAre("Old,o://1,-500,假,假", "新台,http://new/1,-999,假,假", "end"));
  EXPECT_THAT(
      h.rows(),
      ElementsAre("Found|f://1", "-------------|-------------", "-------------|-------------",
                  "Old|o://1", "-------------|-------------", "Old|o://1", "新台|http://new/1"));
  EXPECT_EQ(h.c.tvm.text(), "新台");
  EXPECT_EQ(h.c.dz1.text(), "http://new/1");

  // Adding it again lowers its score; the selection goes to the first row with its name.
  h.c.Command3.userClicked();
  EXPECT_THAT(h.readFile("tv_lib.txt"),
              ElementsAre("Old,o://1,-500,假,假", "新台,http://new/1,-1998,假,假", "end"));
  EXPECT_EQ(h.c.tvm.selectedIndex(), 6);
}

TEST_F(StationEditingTest, AddingIntoAnEmptyListPutsNoSeparatorFirstAndAnEmptyNameSelectsRowZero) {
  h.window->StartUp();
  h.c.tvm.clear();
  h.c.dz1.clear();
  h.c.tvm.setText("");
  h.c.dz1.setText("http://x/1");
  h.c.Command3.userClicked();
  EXPECT_THAT(h.readFile("tv_lib.txt"), ElementsAre(",http://x/1,-999,假,假", "end"));
  EXPECT_EQ(h.c.tvm.count(), 0);  // the loader skips a line without a name
  EXPECT_EQ(h.c.tvm.text(), "");
}

TEST_F(StationEditingTest, AddingWithAnUnreadableLibraryNeverTruncatesIt) {
  h.writeFile("tv_lib.txt", {"A,a://1,-999,假,假", "end"});
  const std::string before = fileBytes(h.path("tv_lib.txt"));
  h.window->StartUp();
  h.files.failOn(FileOperation::OpenForReading);
  h.c.tvm.setText("B");
  h.c.dz1.setText("b://2");
  h.c.Command3.userClicked();
  EXPECT_EQ(fileBytes(h.path("tv_lib.txt")), before);
}

TEST_F(StationEditingTest, RemovingTakesTheFirstRowWithTheNameOffTheListOnly) {
  h.writeFile("tv_lib.txt", {"A,a://1,", "B,b://1,", "b,b://2,", "end"});
  const std::string library = fileBytes(h.path("tv_lib.txt"));
  h.window->StartUp();
  h.c.tvm.setText("B");
  h.log.clear();
  h.c.Command12.userClicked();
  EXPECT_THAT(h.rows(), ElementsAre("A|a://1", "b|b://2"));
  EXPECT_EQ(h.c.tvm.text(), "b");  // the row that followed
  EXPECT_EQ(h.c.dz1.text(), "b://2");
  EXPECT_EQ(h.log.calls().front(), "wmp.stop");  // playback stopped first
  EXPECT_EQ(fileBytes(h.path("tv_lib.txt")), library);

  // A name in no row: nothing happens, playback goes on.
  h.log.clear();
  h.c.tvm.setText("nobody");
  h.c.Command12.userClicked();
  EXPECT_TRUE(h.log.calls().empty());
  EXPECT_EQ(h.c.tvm.count(), 2);

  // The last row: both texts become empty.
  h.c.tvm.setText("B");
  h.c.Command12.userClicked();
  h.c.tvm.setText("A");
  h.c.Command12.userClicked();
  EXPECT_EQ(h.c.tvm.count(), 0);
  EXPECT_EQ(h.c.tvm.text(), "");
  EXPECT_EQ(h.c.dz1.text(), "");
}

// The player reports its state after the reaction: whatever it puts back into dz1 then must be
// the address of the row the step shows, not that of the station played before it.
TEST_F(StationEditingTest, APlayersLateStateLeavesTheShownRowsAddressInTheAddressField) {
  struct Case {
    const char* what;
    std::function<void(WindowHarness&)> act;
    std::string name;
    std::string address;
  } cases[] = {
      {"Enter on a typed name",
       [](WindowHarness& h) { h.c.tvm.setText("b"), h.c.tvm.userKeyDown(13); }, "B", "b://1"},
      {"增加 a typed station",
       [](WindowHarness& h) {
         h.c.tvm.setText("New"), h.c.dz1.setText("n://1"), h.c.Command3.userClicked();
       },
       "New", "n://1"},
      {"删除", [](WindowHarness& h) { h.c.tvm.setText("A"), h.c.Command12.userClicked(); }, "B",
       "b://1"},
  };
  for (const Case& c : cases) {
    WindowHarness h;
    h.writeFile("tv_lib.txt", {"A,a://%1%,", "B,b://1,", "end"});
    h.window->StartUp();
    h.c.tvm.userChoseRow(0);  // a series plays: its expansion is what the states put back
    h.loop.advance(100);
    c.act(h);
    for (int state : {WmpState::Buffering, WmpState::Stopped, WmpState::Ready}) {
      h.wmp.enter(state);
      h.loop.advance(100);
      EXPECT_EQ(h.c.tvm.text(), c.name) << c.what;
      EXPECT_EQ(h.c.dz1.text(), c.address) << c.what << ", state " << state;
    }
  }
}

}  // namespace
}  // namespace zelvo::test
