// The lists kept beside the library: the favourites in tv_fav.txt and the recent stations in
// tv_recent.txt, read, changed, written and read back; broken and read-only files lose nothing.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>

#include "fakes/FailingTextFiles.h"
#include "fakes/WindowHarness.h"
#include "library/FavouriteStations.h"
#include "library/RecentStations.h"
#include "support/ReadOnlyFolder.h"
#include "support/TempFolder.h"

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::HasSubstr;
using ::testing::IsEmpty;

namespace zelvo::test {
namespace {

void writeBytes(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

std::vector<std::string> texts(const std::vector<StationRef>& stations) {
  std::vector<std::string> out;
  for (const StationRef& s : stations) out.push_back(s.name + "|" + s.address);
  return out;
}

const std::string kZhongYang = "\xD6\xD0\xD1\xEB";  // 中央 in GBK

TEST(StationLists, FavouritesReadWhatTheyCanAndWriteBackWhatTheyCouldNot) {
  struct Case {
    const char* what;
    std::optional<std::string> file;  // bytes; none: no file
    std::vector<std::string> read;
    bool complains;
    std::string afterAdding;  // the file's bytes after adding X
  } cases[] = {
      {"no file", std::nullopt, {}, false, "X,http://x\r\n"},
      {"GBK names, blanks and a comma in the address",
       kZhongYang + ",http://a\r\n\r\n B\t, http://b/?q=1,2 \n",
       {"中央|http://a", "B|http://b/?q=1,2"},
       false,
       kZhongYang + ",http://a\r\nB,http://b/?q=1,2\r\nX,http://x\r\n"},
      {"broken lines stay, after the list",
       "A,http://a\r\nno comma\r\n\xFF\xFE,http://bad\r\n,http://noname\r\nB,\r\nC,http://c",
       {"A|http://a", "C|http://c"},
       true,
       "A,http://a\r\nC,http://c\r\nX,http://x\r\nno comma\r\n\xFF\xFE,http://bad\r\n"
       ",http://noname\r\nB,\r\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TempFolder folder;
    GbkTextFiles files;
    if (c.file) writeBytes(folder.file(kFavouritesFile), *c.file);
    FavouriteStations favourites(files, folder.file(kFavouritesFile));
    EXPECT_EQ(!favourites.load().empty(), c.complains);
    EXPECT_THAT(texts(favourites.stations()), ElementsAreArray(c.read));
    EXPECT_EQ(favourites.toggle({"X", "http://x"}), "");
    EXPECT_EQ(fileBytes(folder.file(kFavouritesFile)), c.afterAdding);

    FavouriteStations reloaded(files, folder.file(kFavouritesFile));
    reloaded.load();
    EXPECT_EQ(reloaded.stations(), favourites.stations());
  }
}

TEST(StationLists, FavouritesMoveAndToggleAndKeepTheFileWhenTheyCannotWrite) {
  TempFolder folder;
  GbkTextFiles files;
  const std::string path = folder.file(kFavouritesFile);
  FavouriteStations favourites(files, path);
  favourites.load();
  for (const char* name : {"A", "B", "C"}) favourites.toggle({name, std::string("u://") + name});
  EXPECT_EQ(favourites.move(0, 2), "");
  EXPECT_EQ(favourites.move(1, 7), "");  // out of reach: nothing moves
  EXPECT_EQ(favourites.toggle({"B", "u://B"}), "");
  EXPECT_TRUE(favourites.contains({"A", "u://A"}));
  EXPECT_FALSE(favourites.contains({"A", "u://other"}));
  EXPECT_EQ(fileBytes(path), "C,u://C\r\nA,u://A\r\n");
  EXPECT_THAT(favourites.toggle({"a,b", "u://ab"}), HasSubstr("逗号"));
  EXPECT_EQ(favourites.stations().size(), 2u);

  {
    ReadOnlyFolder readOnly(folder.path());
    std::filesystem::permissions(path, std::filesystem::perms::owner_read);
    if (!readOnly.active()) GTEST_SKIP() << "no way to make a folder read-only here";
    EXPECT_THAT(favourites.toggle({"D", "u://D"}), HasSubstr(kFavouritesFile));
    EXPECT_TRUE(favourites.contains({"D", "u://D"}));  // kept for the session
    EXPECT_EQ(fileBytes(path), "C,u://C\r\nA,u://A\r\n");
  }
  std::filesystem::permissions(path, std::filesystem::perms::owner_all);

  // A file that cannot be read is not written over by the next change.
  FailingTextFiles failing;
  failing.failOn(FileOperation::OpenForReading);
  FavouriteStations unreadable(failing, path);
  EXPECT_THAT(unreadable.load(), HasSubstr(kFavouritesFile));
  EXPECT_THAT(unreadable.stations(), IsEmpty());
  EXPECT_THAT(unreadable.toggle({"E", "u://E"}), HasSubstr(kFavouritesFile));
  // Nor is one whose reading broke off part-way.
  failing.heal();
  failing.failOn(FileOperation::Read, 2);
  FavouriteStations cut(failing, path);
  EXPECT_THAT(cut.load(), HasSubstr(kFavouritesFile));
  EXPECT_THAT(cut.toggle({"E", "u://E"}), HasSubstr(kFavouritesFile));
  EXPECT_EQ(fileBytes(path), "C,u://C\r\nA,u://A\r\n");
}

TEST(StationLists, RecentStationsKeepTheLastTwentyNewestFirst) {
  TempFolder folder;
  GbkTextFiles files;
  const std::string path = folder.file(kRecentFile);
  RecentStations recent(files, path);
  int changes = 0;
  recent.changed.listen([&] { ++changes; });
  recent.load();
  EXPECT_EQ(recent.previous(), std::nullopt);
  for (int i = 0; i < 25; ++i) recent.played({"S" + std::to_string(i), "u://" + std::to_string(i)});
  recent.played({"S20", "u://20"});  // back to the front, once
  recent.played({"S24", "u://24"});
  recent.played({"S24", "u://24"});  // already in front
  recent.played({"", "u://nameless"});
  ASSERT_EQ(recent.stations().size(), kRecentLimit);
  EXPECT_EQ(texts(recent.stations())[0], "S24|u://24");
  EXPECT_EQ(texts(recent.stations())[1], "S20|u://20");
  EXPECT_EQ(texts(recent.stations())[2], "S23|u://23");
  EXPECT_EQ(texts(recent.stations()).back(), "S5|u://5");
  EXPECT_EQ(recent.previous(), (StationRef{"S20", "u://20"}));
  EXPECT_EQ(changes, 1 + 25 + 2);

  // Survives a reload; a broken line and a repeat are passed over.
  std::ofstream(path, std::ios::binary | std::ios::app) << "broken\r\nS24,u://24\r\n";
  RecentStations reloaded(files, path);
  reloaded.load();
  EXPECT_EQ(reloaded.stations(), recent.stations());
}

TEST(StationLists, TheWindowReadsBothAtStartUpAndKeepsWhatTheFavouritesMet) {
  WindowHarness h;
  h.writeFile(kFavouritesFile, {"A,u://a", "broken"});
  h.writeFile(kRecentFile, {"B,u://b", "A,u://a"});
  h.window->StartUp();
  EXPECT_THAT(texts(h.window->favourites().stations()), ElementsAre("A|u://a"));
  EXPECT_THAT(h.window->favouritesProblem(), HasSubstr("1 行"));
  EXPECT_THAT(texts(h.window->recent().stations()), ElementsAre("B|u://b", "A|u://a"));
}

}  // namespace
}  // namespace zelvo::test
