// Loading station files into the station list.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "fakes/WindowHarness.h"

using ::testing::ElementsAre;
using ::testing::IsEmpty;

namespace zelvo::test {
namespace {

class StationFilesTest : public ::testing::Test {
 protected:
  std::vector<std::string> load(const std::vector<std::string>& lines) {
    h.writeFile("f.txt", lines);
    h.window->stationFiles().LoadStationFile("f.txt");
    return h.rows();
  }
  WindowHarness h;
};

TEST_F(StationFilesTest, LineRulesDecideWhichLinesBecomeRows) {
  struct Case {
    std::vector<std::string> lines;
    std::vector<std::string> rows;
  } cases[] = {
      {{"CCTV,mms://a,-999,假,假"}, {"CCTV|mms://a"}},
      {{"  CCTV  ,  mms://a  ,"}, {"CCTV|mms://a"}},
      {{"CCTV\t,mms://a,"}, {"CCTV|mms://a"}},
      {{"   ,mms://a,"}, {"|mms://a"}},  // spaces pass the empty test
      {{"CCTV,mms://a"}, {}},            // no comma after the address
      {{"no comma at all"}, {}},
      {{",mms://a,"}, {}},
      {{"CCTV,,"}, {}},
      {{"T,C:\\Play\\TEMP\\x.asx,", "U,mms://u,"}, {"U|mms://u"}},  // play\temp in any case
      {{"A,a://1,", "END", "B,b://2,"}, {"A|a://1"}},
      {{"A,a://1,", " end", "B,b://2,"}, {"A|a://1", "B|b://2"}},
      {{"A,a://1,", "B,b://2,", "", "C,c://3,"}, {"A|a://1", "B|b://2"}},
      {{"", "A,a://1,"}, {"A|a://1"}},  // an empty first line is skipped
      {{"电视台,mms://中文,"}, {"电视台|mms://中文"}},
  };
  for (const auto& test : cases) {
    WindowHarness fresh;
    fresh.writeFile("f.txt", test.lines);
    fresh.window->stationFiles().LoadStationFile("f.txt");
    EXPECT_EQ(fresh.rows(), test.rows) << ::testing::PrintToString(test.lines);
  }
}

TEST_F(StationFilesTest, SeparatorRowsComeBetweenFilesEvenEmptyOrMissingOnes) {
  EXPECT_THAT(load({"A,a://1,"}), ElementsAre("A|a://1"));
  h.window->stationFiles().LoadStationFile("missing.txt");
  h.writeFile("empty.txt", {});
  h.window->stationFiles().LoadStationFile("empty.txt");
  EXPECT_THAT(h.rows(),
              ElementsAre("A|a://1", "-------------|-------------", "-------------|-------------"));
  h.window->stationFiles().LoadStationFile("f.txt");
  EXPECT_EQ(h.rows().size(), 5u);
  EXPECT_EQ(h.rows().back(), "A|a://1");
}

TEST_F(StationFilesTest, EchoFileListsTheRowsOfTheLastLoadWithTheirIndex) {
  load({"A,a://1,"});
  load({"B,b://2,", "bad line", "C,c://3,"});
  EXPECT_THAT(h.readFile("wjmxd"), ElementsAre("B,b://2,2", "C,c://3,3"));
  h.window->stationFiles().LoadStationFile("missing.txt");
  EXPECT_THAT(h.readFile("wjmxd"), IsEmpty());
}

TEST_F(StationFilesTest, LoaderLeavesTheTextFieldsAndLetsEventsRunAsItGoes) {
  h.c.tvm.setText("typed");
  int before = h.loop.yields();
  // 100 lines and 40 tabs: events run at the first line and after every 64 lines or tabs.
  std::vector<std::string> lines;
  for (int i = 0; i < 100; ++i) lines.push_back((i < 40 ? "N\t" : "N") + std::to_string(i) + ",a,");
  load(lines);
  EXPECT_EQ(h.c.tvm.text(), "typed");
  EXPECT_EQ(h.c.tvm.count(), 100);
  EXPECT_EQ(h.c.tvm.row(0), "N 0");
  EXPECT_EQ(h.loop.yields() - before, 3);
}

std::vector<std::string> numberedStations(int count) {
  std::vector<std::string> lines;
  for (int i = 0; i < count; ++i)
    lines.push_back("L" + std::to_string(i) + ",l://" + std::to_string(i) + ",");
  return lines;
}

TEST_F(StationFilesTest, ListClearedDuringAYieldStillGetsTheRestOfTheFile) {
  load({"X,x://0,"});
  h.loop.duringYield([] {});
  h.loop.duringYield([&] {
    h.c.tvm.clear();
    h.c.dz1.clear();
  });
  h.writeFile("g.txt", numberedStations(70));
  h.window->stationFiles().LoadStationFile("g.txt");
  // The second yield comes before line 64; what follows lands at the top of the emptied list.
  ASSERT_EQ(h.rows().size(), 6u);
  EXPECT_EQ(h.rows().front(), "L64|l://64");
  EXPECT_EQ(h.c.tvm.count(), h.c.dz1.count());
}

TEST_F(StationFilesTest, LoadingStopsAtTheNextYieldOnceTheProcessEnds) {
  h.loop.duringYield([] {});
  h.loop.duringYield([&] { h.process.end(0); });
  h.writeFile("big.txt", numberedStations(1000));
  h.window->stationFiles().LoadStationFile("big.txt");
  EXPECT_EQ(h.c.tvm.count(), 64);
  EXPECT_EQ(h.readFile("wjmxd").size(), 64u);  // the echo is complete for what was added
}

TEST_F(StationFilesTest, BrokenFilesLoadWhatTheyCanAndNeverCrash) {
  // Invalid GBK bytes read as replacement characters.
  {
    std::ofstream out(h.path("bad.txt"), std::ios::binary);
    out << "A\xFF,a://1,\r\nB,b://2,\r\n";
  }
  h.window->stationFiles().LoadStationFile("bad.txt");
  ASSERT_EQ(h.c.tvm.count(), 2);
  EXPECT_EQ(h.c.tvm.row(0), "A\xEF\xBF\xBD");
  EXPECT_EQ(h.c.dz1.row(1), "b://2");

  // Binary garbage with NUL bytes and no line ends.
  {
    std::ofstream out(h.path("binary.txt"), std::ios::binary);
    for (int i = 0; i < 200000; ++i) out.put(static_cast<char>(i * 7919 % 256));
  }
  h.window->stationFiles().LoadStationFile("binary.txt");
  EXPECT_EQ(h.c.tvm.count(), h.c.dz1.count());

  // A folder where a file is expected.
  std::filesystem::create_directory(h.path("dir.txt"));
  h.window->stationFiles().LoadStationFile("dir.txt");
  EXPECT_EQ(h.c.tvm.count(), h.c.dz1.count());
}

TEST_F(StationFilesTest, HugeFileFillsTheListToItsLimitAndNoFurther) {
  std::vector<std::string> lines;
  for (int i = 0; i < 33000; ++i)
    lines.push_back("S" + std::to_string(i) + ",http://h/" + std::to_string(i) + ",");
  load(lines);
  EXPECT_EQ(h.c.tvm.count(), kMaxListRows);
  EXPECT_EQ(h.c.dz1.count(), kMaxListRows);
  EXPECT_EQ(h.c.dz1.row(kMaxListRows - 1), "http://h/32766");
  EXPECT_EQ(h.readFile("wjmxd").size(), static_cast<size_t>(kMaxListRows));
}

}  // namespace
}  // namespace zelvo::test
