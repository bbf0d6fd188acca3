// Storing the current station in the library: its place by score, the lines it leaves as they
// were, scores of any size, and a library that cannot be read or written.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "fakes/WindowHarness.h"
#include "formats/TextRules.h"
#include "platform/posix/GbkCodec.h"
#include "support/ReadOnlyFolder.h"

using ::testing::ElementsAre;

namespace zelvo::test {
namespace {

std::vector<std::string> storeInto(WindowHarness& h, const std::string& name,
                                   const std::string& address) {
  h.c.tvm.setText(name);
  h.c.dz1.setText(address);
  h.window->stationFiles().StoreCurrentStation();
  return h.readFile("tv_lib.txt");
}

class StoreTest : public ::testing::Test {
 protected:
  std::vector<std::string> store(const std::string& name, const std::string& address) {
    return storeInto(h, name, address);
  }
  void writeBytes(const std::string& name, const std::string& bytes) {
    std::ofstream(h.path(name), std::ios::binary) << bytes;
  }
  WindowHarness h;
};

TEST_F(StoreTest, NewStationGoesBeforeTheFirstLineWithAScoreNotAboveIt) {
  h.writeFile("tv_lib.txt",
              {"A,a://1,100,假,假", "B,b://2,-500,假,假", "C,c://3,-999,假,假", "end"});
  EXPECT_THAT(store("N", "n://x"), ElementsAre("A,a://1,100,假,假", "B,b://2,-500,假,假",
                                               "N,n://x,-999,假,假", "C,c://3,-999,假,假", "end"));

  h.writeFile("tv_lib.txt", {"A,a://1,5,假,假", "end"});
  EXPECT_THAT(store("N", "n://x"), ElementsAre("A,a://1,5,假,假", "N,n://x,-999,假,假", "end"));
}

TEST_F(StoreTest, StoringAgainLowersTheScoreAndKeepsOneLine) {
  h.writeFile("tv_lib.txt", {"A,a://1,-1000,假,假", "end"});
  store("N", "n://x");
  EXPECT_THAT(store("N", "n://x"),
              ElementsAre("A,a://1,-1000,假,假", "N,n://x,-1998,假,假", "end"));
  // The match is exact and case-sensitive on whole fields.
  EXPECT_THAT(store("n", "n://x"), ElementsAre("n,n://x,-999,假,假", "A,a://1,-1000,假,假",
                                               "N,n://x,-1998,假,假", "end"));
}

TEST_F(StoreTest, FractionalScoresAndHandWrittenLines) {
  h.writeFile("tv_lib.txt", {"A,a://1,-0.5,假,假", "hand written line", "B,b://2,-998.6,x", "end"});
  // -998.6 rounds to -999, which is above -999.5: the stored line goes last.
  EXPECT_THAT(store("A", "a://1"),
              ElementsAre("hand written line", "B,b://2,-998.6,x", "A,a://1,-999.5,假,假", "end"));
  h.writeFile("tv_lib.txt", {"  X,x://1,5,假,假", "end"});
  EXPECT_THAT(store("N", "n://x"), ElementsAre("X,x://1,5,假,假", "N,n://x,-999,假,假", "end"));
}

TEST_F(StoreTest, MissingLibraryOrEndMarker) {
  EXPECT_THAT(store("N", "n://x"), ElementsAre("N,n://x,-999,假,假", "end"));
  h.writeFile("tv_lib.txt", {"A,a://1,1,假,假", "B,b://2,2,假,假"});
  EXPECT_THAT(store("N", "n://x"),
              ElementsAre("A,a://1,1,假,假", "B,b://2,2,假,假", "N,n://x,-999,假,假", "end"));
  h.writeFile("tv_lib.txt", {"A,a://1,1,假,假", "eNd", "after,the,end"});
  EXPECT_THAT(store("N", "n://x"), ElementsAre("A,a://1,1,假,假", "N,n://x,-999,假,假", "end"));
}

TEST_F(StoreTest, ARecordAfterTheEndMarkerIsFoundButTheInsertionPointIsBeforeIt) {
  h.writeFile("tv_lib.txt", {"A,a://1,100,假,假", "end", "N,n://x,50,假,假", "Z,z://1,-5000,"});
  EXPECT_THAT(store("N", "n://x"), ElementsAre("A,a://1,100,假,假", "N,n://x,-949,假,假", "end"));

  // The record's line goes whatever its place; the line before the end marker comes first.
  h.writeFile("tv_lib.txt", {"N,n://x,7,假,假", "END", "N,n://x,3000,假,假"});
  EXPECT_THAT(store("N", "n://x"), ElementsAre("N,n://x,-992,假,假", "end"));
}

TEST_F(StoreTest, AnyCharacterIsKeptAndWhatIsNoCharacterWrittenAsAQuestionMark) {
  EXPECT_THAT(store("Ünï😀台\xED\xA0\x80", "n://x"), ElementsAre("Ünï😀台?,n://x,-999,假,假", "end"));
}

TEST_F(StoreTest, LinesTheStoreDoesNotReplaceKeepTheirBytes) {
  // Saved as UTF-8 by another editor, stray bytes, a lone lead byte at the end, a tab.
  const std::string utf8Line = "中央台,http://cctv/1,5,假,假";
  const std::string strayLine = "X\xFF\x80\x81,x://1,-5,\xD6";
  const std::string gbkLine = utf8ToGbk("甲,a://1,1,假,假\t");
  writeBytes("tv_lib.txt",
             utf8Line + "\r\n" + gbkLine + "\n" + strayLine + "\r\nend\r\n" + "after\xFF\r\n");

  store("新台", "n://x");
  EXPECT_EQ(fileBytes(h.path("tv_lib.txt")), utf8Line + "\r\n" + gbkLine + "\r\n" + strayLine +
                                                 "\r\n" + utf8ToGbk("新台,n://x,-999,假,假") +
                                                 "\r\nend\r\n");

  // The station as the list shows it (read as GBK) is the line the store finds and replaces.
  h.window->stationFiles().LoadStationFile("tv_lib.txt");
  h.c.tvm.setText(h.c.tvm.row(0));
  h.c.dz1.setText(h.c.dz1.row(0));
  h.window->stationFiles().StoreCurrentStation();
  const std::string bytes = fileBytes(h.path("tv_lib.txt"));
  EXPECT_EQ(bytes.find(utf8Line), std::string::npos);
  EXPECT_NE(bytes.find(gbkLine + "\r\n" + strayLine + "\r\n"), std::string::npos);
  EXPECT_EQ(h.readFile("tv_lib.txt").size(), 5u);
}

TEST(StoreFailures, ALibraryThatCannotBeReadOrWrittenIsLeftAsItWas) {
  struct Case {
    const char* what;
    std::vector<std::pair<FileOperation, int>> failures;
    bool changes;
  } cases[] = {
      {"nothing fails", {}, true},
      {"open", {{FileOperation::OpenForReading, 0}}, false},
      {"open, and the test for the file",
       {{FileOperation::OpenForReading, 0}, {FileOperation::Exists, 0}},
       false},
      {"first read", {{FileOperation::Read, 0}}, false},
      {"a read half way", {{FileOperation::Read, 5}}, false},
      {"create", {{FileOperation::Create, 0}}, false},
      {"a write half way", {{FileOperation::Write, 2}}, false},
      {"close", {{FileOperation::Close, 0}}, false},
  };
  std::vector<std::string> library;
  for (int i = 0; i < 10; ++i)
    library.push_back("S" + std::to_string(i) + ",s://" + std::to_string(i) + ",1,假,假");
  library.push_back("end");
  for (const Case& test : cases) {
    WindowHarness h;
    h.writeFile("tv_lib.txt", library);
    const std::string before = fileBytes(h.path("tv_lib.txt"));
    for (auto [operation, callsBefore] : test.failures) h.files.failOn(operation, callsBefore);
    storeInto(h, "N", "n://x");
    EXPECT_EQ(fileBytes(h.path("tv_lib.txt")) != before, test.changes) << test.what;
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(h.folder.path()), {}), 1)
        << test.what;
  }
}

TEST_F(StoreTest, AReadOnlyFolderLeavesTheLibraryWholeAndTheLoaderStillFillsTheList) {
  h.writeFile("tv_lib.txt", {"A,a://1,1,假,假", "end"});
  ReadOnlyFolder readOnly(h.folder.path());
  if (!readOnly.active()) GTEST_SKIP() << "this machine cannot make a folder read-only";
  EXPECT_THAT(store("N", "n://x"), ElementsAre("A,a://1,1,假,假", "end"));
  h.window->stationFiles().LoadStationFile("tv_lib.txt");
  EXPECT_THAT(h.rows(), ElementsAre("A|a://1"));
  EXPECT_FALSE(h.exists("wjmxd"));
}

// ---- Scores of any size ----

TEST(Scores, AreWrittenInPlainDecimalAndReadBackAsTheSameValue) {
  const std::pair<double, const char*> exact[] = {
      {0, "0"},
      {-0.0, "0"},
      {-999, "-999"},
      {-1998, "-1998"},
      {-999.5, "-999.5"},
      {0.1, "0.1"},
      {-1000.1, "-1000.1"},
      {1e18, "1000000000000000000"},
      {std::ldexp(1.0, 70), "1180591620717411303424"},
      {-std::ldexp(1.0, 70), "-1180591620717411303424"},
      {1e-7, "0.0000001"},
      {-1.5e-10, "-0.00000000015"},
  };
  for (auto [value, text] : exact) EXPECT_EQ(formatNumber(value), text) << value;

  const double anyValue[] = {1e63,    -1e63,  1e300,     DBL_MAX,    -DBL_MAX,   1e-300,
                             DBL_MIN, 5e-324, -2.5e-320, 123456.789, 1e63 + 1e48};
  for (double value : anyValue) {
    const std::string text = formatNumber(value);
    EXPECT_EQ(text.find_first_of("eE"), std::string::npos) << text;
    EXPECT_EQ(parseNumber(text), value) << text;
    const bool whole = value == std::trunc(value);
    EXPECT_EQ(text.find('.') == std::string::npos, whole) << text;
  }
  EXPECT_EQ(formatNumber(1e63).size(), 64u);
  EXPECT_EQ(formatNumber(-DBL_MAX).size(), 310u);
}

TEST_F(StoreTest, HugeScoresSurviveAStoreAndTheLoaderReadsTheirLines) {
  const std::string big = formatNumber(1e300);
  const std::string negative = formatNumber(-1e63);
  h.writeFile("tv_lib.txt",
              {"Big,b://1," + big + ",假,假", "Neg,n://1," + negative + ",假,假", "end"});

  // 1e300 less 999 is 1e300 again: the line keeps its score to the last digit and its place.
  EXPECT_THAT(store("Big", "b://1"), ElementsAre("Big,b://1," + big + ",假,假",
                                                 "Neg,n://1," + negative + ",假,假", "end"));
  EXPECT_THAT(store("New", "w://1"),
              ElementsAre("Big,b://1," + big + ",假,假", "New,w://1,-999,假,假",
                          "Neg,n://1," + negative + ",假,假", "end"));
  EXPECT_EQ(parseNumber(splitFields(h.readFile("tv_lib.txt")[0])[2]), 1e300);

  h.window->stationFiles().LoadStationFile("tv_lib.txt");
  EXPECT_THAT(h.rows(), ElementsAre("Big|b://1", "New|w://1", "Neg|n://1"));
}

}  // namespace
}  // namespace zelvo::test
