// Playlists opened with the window: each becomes a group of rows after a separator, the first
// station is chosen and plays, and no file changes until the user adds a station.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "fakes/WindowHarness.h"
#include "library/Selectors.h"

using ::testing::ElementsAre;

namespace zelvo::test {
namespace {

class OpenPlaylistsTest : public ::testing::Test {
 protected:
  WindowHarness h;
};

TEST_F(OpenPlaylistsTest, EachPlaylistIsAGroupAndTheFirstStationPlays) {
  h.writeFile("tv_lib.txt", {"Lib,http://lib/1,-999,假,假", "end"});
  const std::string library = fileBytes(h.path("tv_lib.txt"));
  h.window->StartUp();
  h.log.clear();
  h.window->OpenStationGroups({{{"One", "http://one/1", ""}, {"Lib", "http://one/2", ""}},
                               {},
                               {{"Two", "http://two/1", "g"}}});
  EXPECT_THAT(h.rows(),
              ElementsAre("Lib|http://lib/1", "-------------|-------------", "One|http://one/1",
                          "Lib|http://one/2", "-------------|-------------", "Two|http://two/1"));
  EXPECT_EQ(h.c.tvm.text(), "One");
  EXPECT_EQ(h.c.dz1.text(), "http://one/1");
  EXPECT_EQ(h.c.tvm.selectedIndex(), 2);
  EXPECT_EQ(h.c.Command3.caption(), "2");  // the row index, as after a click
  EXPECT_EQ(h.log.calls().back(), "wmp.URL http://one/1");
  EXPECT_EQ(h.c.form1.height(), kCompactHeight);

  // Nothing is written; closing the window saves the row of the station the playlist gave.
  EXPECT_EQ(fileBytes(h.path("tv_lib.txt")), library);
  h.window->ShutDown();
  EXPECT_THAT(h.readFile("bfwz.dat"), ElementsAre("win", "2"));
}

TEST_F(OpenPlaylistsTest, AnEmptyListGetsNoSeparatorFirstAndAddingStoresTheChosenStation) {
  h.window->StartUp();
  h.window->OpenStationGroups({{{"One", "http://one/1", ""}}});
  EXPECT_THAT(h.rows(), ElementsAre("One|http://one/1"));
  EXPECT_FALSE(h.exists("tv_lib.txt"));
  h.c.Command3.userClicked();
  EXPECT_THAT(h.readFile("tv_lib.txt"), ElementsAre("One,http://one/1,-999,假,假", "end"));
}

TEST_F(OpenPlaylistsTest, NoStationsPlayNothingAndAFullListTakesWhatFits) {
  h.window->StartUp();
  h.log.clear();
  h.window->OpenStationGroups({{}, {}});
  EXPECT_EQ(h.c.tvm.count(), 0);
  EXPECT_TRUE(h.log.calls().empty());

  std::vector<PlaylistEntry> many(kMaxListRows + 10, PlaylistEntry{"N", "http://n/1", ""});
  h.window->OpenStationGroups({many, {{"Late", "http://late/1", ""}}});
  EXPECT_EQ(h.c.tvm.count(), kMaxListRows);
  EXPECT_EQ(h.c.tvm.selectedIndex(), 0);
  EXPECT_EQ(h.log.calls().back(), "wmp.URL http://n/1");
}

}  // namespace
}  // namespace zelvo::test
