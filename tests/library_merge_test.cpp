// Importing a playlist's stations into the library: where they go, what counts as already
// there, what GBK cannot hold, and a library that cannot be read or replaced.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "fakes/WindowHarness.h"
#include "library/LibraryMerge.h"
#include "platform/Failure.h"
#include "platform/posix/GbkCodec.h"
#include "support/ReadOnlyFolder.h"

using ::testing::ElementsAre;
using ::testing::IsEmpty;

namespace zelvo::test {
namespace {

class LibraryMergeTest : public ::testing::Test {
 protected:
  MergeReport merge(const std::vector<PlaylistEntry>& entries) {
    return mergeIntoLibrary(h.files, h.path("tv_lib.txt"), entries);
  }
  std::string bytes() const { return fileBytes(h.path("tv_lib.txt")); }
  WindowHarness h;
};

TEST_F(LibraryMergeTest, NewStationsGoBeforeTheEndMarkerInThePlaylistsOrder) {
  h.writeFile("tv_lib.txt", {"老台,http://old/1,100,假,假", "Other,http://old/2,-999,假,假", "END",
                             "after,the,end"});
  const MergeReport report = merge({{"Other", "http://old/2", ""},
                                    {"新台", "http://new/1", "g"},
                                    {"A", "http://new/2", ""},
                                    {"新台", "http://new/1", ""},
                                    {"other", "http://old/2", ""}});
  EXPECT_THAT(h.readFile("tv_lib.txt"),
              ElementsAre("老台,http://old/1,100,假,假", "Other,http://old/2,-999,假,假",
                          "新台,http://new/1,-999,假,假", "A,http://new/2,-999,假,假",
                          "other,http://old/2,-999,假,假", "END", "after,the,end"));
  EXPECT_EQ(report.added, 3);
  EXPECT_EQ(report.alreadyThere, 2);  // one in the library, one earlier in the playlist
  EXPECT_EQ(report.stationsInLibrary, 5);
}

TEST_F(LibraryMergeTest, AStationIsThereWhenTheLoaderReadsTheSameNameAndAddress) {
  h.writeFile("tv_lib.txt", {"  A \t,\thttp://a/1 ,5,假,假", "B,http://b/1,", "C,http://c/1", "end",
                             "D,http://d/1,-999,假,假"});
  const MergeReport report = merge({{"A", "http://a/1", ""},
                                    {"B", "http://b/1", ""},
                                    {"C", "http://c/1", ""},
                                    {"D", "http://d/1", ""}});
  // C's line has no comma after its address and D stands after the end marker: the loader
  // shows neither, so both are added.
  EXPECT_EQ(report.alreadyThere, 2);
  EXPECT_THAT(h.readFile("tv_lib.txt"),
              ElementsAre("  A \t,\thttp://a/1 ,5,假,假", "B,http://b/1,", "C,http://c/1",
                          "C,http://c/1,-999,假,假", "D,http://d/1,-999,假,假", "end",
                          "D,http://d/1,-999,假,假"));
}

TEST_F(LibraryMergeTest, TheLoaderSeesEveryAddedStation) {
  struct Case {
    const char* what;
    std::vector<std::string> library;
    std::vector<std::string> after;
  } cases[] = {
      {"no library", {}, {"N,http://n/1,-999,假,假", "end"}},
      {"no end marker",
       {"A,http://a/1,1,假,假"},
       {"A,http://a/1,1,假,假", "N,http://n/1,-999,假,假", "end"}},
      // An empty line ends the file for the loader: the station goes before it.
      {"an empty line before the end",
       {"A,http://a/1,1,假,假", "", "B,http://b/1,1,假,假", "end"},
       {"A,http://a/1,1,假,假", "N,http://n/1,-999,假,假", "", "B,http://b/1,1,假,假", "end"}},
      {"an empty first line",
       {"", "A,http://a/1,1,假,假", "end"},
       {"", "A,http://a/1,1,假,假", "N,http://n/1,-999,假,假", "end"}},
  };
  for (const Case& c : cases) {
    std::filesystem::remove(h.path("tv_lib.txt"));
    if (!c.library.empty()) h.writeFile("tv_lib.txt", c.library);
    merge({{"N", "http://n/1", ""}});
    EXPECT_EQ(h.readFile("tv_lib.txt"), c.after) << c.what;
    h.c.tvm.clear();
    h.c.dz1.clear();
    h.window->stationFiles().LoadStationFile("tv_lib.txt");
    EXPECT_THAT(h.rows(), ::testing::Contains("N|http://n/1")) << c.what;
  }
}

TEST_F(LibraryMergeTest, LinesNotChangedGoBackByteForByte) {
  // A line saved as UTF-8 by another editor reads as replacement characters, yet stays.
  const std::string before = "A,http://a/1,5,\xE5\x81\x87,\xE5\x81\x87\r\n" +
                             utf8ToGbk("B,http://b/1,-999,假,假") + "\r\nend\r\n";
  std::ofstream(h.path("tv_lib.txt"), std::ios::binary) << before;
  merge({{"N", "http://n/1", ""}});
  EXPECT_EQ(bytes(), "A,http://a/1,5,\xE5\x81\x87,\xE5\x81\x87\r\n" +
                         utf8ToGbk("B,http://b/1,-999,假,假\r\nN,http://n/1,-999,假,假") +
                         "\r\nend\r\n");
}

TEST_F(LibraryMergeTest, NamesInAnyScriptAreKeptAndWhatNoFileCanHoldIsReportedOnce) {
  h.writeFile("tv_lib.txt", {"end"});
  const std::string surrogate = "\xED\xA0\x80";  // no character: a text cut in UTF-16
  const MergeReport first = merge({{"📺 São 한국", "http://a/1", ""},
                                   {"Café 台", "http://a/2", ""},
                                   {surrogate + " News", "http://a/3", ""},
                                   {"Bad address", "http://a/" + surrogate, ""}});
  EXPECT_THAT(h.readFile("tv_lib.txt"),
              ElementsAre("📺 São 한국,http://a/1,-999,假,假", "Café 台,http://a/2,-999,假,假",
                          "? News,http://a/3,-999,假,假", "end"));
  EXPECT_THAT(first.namesLosingCharacters, ElementsAre(surrogate + " News"));
  EXPECT_THAT(first.addressesNotStorable, ElementsAre("http://a/" + surrogate));
  EXPECT_EQ(first.added, 3);

  // The same playlist again finds them where the first import put them.
  const MergeReport second = merge({{"📺 São 한국", "http://a/1", ""},
                                    {"Café 台", "http://a/2", ""},
                                    {surrogate + " News", "http://a/3", ""}});
  EXPECT_EQ(second.added, 0);
  EXPECT_EQ(second.alreadyThere, 3);
  EXPECT_THAT(second.namesLosingCharacters, IsEmpty());
}

TEST_F(LibraryMergeTest, NothingNewLeavesTheLibraryUntouched) {
  h.writeFile("tv_lib.txt", {"A,http://a/1,5,假,假"});  // not even an end marker is added
  const std::string before = bytes();
  EXPECT_EQ(merge({{"A", "http://a/1", ""}}).added, 0);
  EXPECT_EQ(merge({}).added, 0);
  EXPECT_EQ(bytes(), before);
}

TEST_F(LibraryMergeTest, ALibraryThatCannotBeReadOrReplacedStaysAsItWas) {
  h.writeFile("tv_lib.txt", {"A,http://a/1,5,假,假", "end"});
  const std::string before = bytes();
  for (FileOperation operation :
       {FileOperation::OpenForReading, FileOperation::Read, FileOperation::Create,
        FileOperation::Write, FileOperation::Close}) {
    h.files.failOn(operation);
    EXPECT_THROW(merge({{"N", "http://n/1", ""}}), PlatformFailure) << static_cast<int>(operation);
    h.files.heal();
    EXPECT_EQ(bytes(), before) << static_cast<int>(operation);
  }
  ReadOnlyFolder readOnly(h.folder.path());
  if (!readOnly.active()) GTEST_SKIP() << "no way to make a folder read-only here";
  EXPECT_THROW(merge({{"N", "http://n/1", ""}}), PlatformFailure);
  EXPECT_EQ(bytes(), before);
}

}  // namespace
}  // namespace zelvo::test
