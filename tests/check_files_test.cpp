// What the station check reads from a station file and what it writes: the window's station
// format or an extended M3U playlist, always whole.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <fstream>

#include "check/CheckInput.h"
#include "check/CheckOutput.h"
#include "fakes/CheckHarness.h"
#include "platform/Failure.h"
#include "platform/posix/GbkCodec.h"

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;

namespace zelvo::test {
namespace {

std::vector<std::string> stationsOf(const CheckInput& input) {
  std::vector<std::string> rows;
  for (const CheckStation& s : input.stations) rows.push_back(s.name + "|" + s.address);
  return rows;
}

TEST(CheckFilesTest, AStationFileGivesTheStationsTheWindowWouldList) {
  struct Case {
    std::vector<std::string> lines;
    std::vector<std::string> stations;
  } cases[] = {
      {{"中央一台,mms://a,-999,假,假"}, {"中央一台|mms://a"}},
      {{"  CCTV\t,  mms://a  ,"}, {"CCTV|mms://a"}},
      {{"   ,mms://a,"}, {"|mms://a"}},
      {{"CCTV,mms://a", "no comma", ",mms://b,", "N,,"}, {}},
      {{"T,C:\\PLAY\\Temp\\x.asx,", "U,mms://u,"}, {"U|mms://u"}},
      {{"-------------,-------------,", "A,a://1,"}, {"A|a://1"}},
      {{"A,a://1,", "End", "B,b://2,"}, {"A|a://1"}},
      {{"A,a://1,", " end", "B,b://2,"}, {"A|a://1", "B|b://2"}},
      {{"", "A,a://1,", "B,b://2,"}, {"A|a://1", "B|b://2"}},
      {{"A,a://1,", "B,b://2,", "", "C,c://3,"}, {"A|a://1", "B|b://2"}},
      {{"T,mms://x/%05%.asf,"}, {"T|mms://x/%05%.asf"}},
  };
  for (const Case& c : cases) {
    CheckHarness h;
    const std::string path = h.writeStationFile("in.txt", c.lines);
    EXPECT_EQ(stationsOf(readStationFile(h.files, path)), c.stations) << c.lines[0];
  }
}

TEST(CheckFilesTest, WhatIsLeftOutIsSaid) {
  CheckHarness h;
  const std::string path = h.writeStationFile(
      "in.txt", {"A,a://1,", "# my list", "B,b://2", "", "C,c://3,", "D,d://4,"});
  const CheckInput input = readStationFile(h.files, path);
  EXPECT_THAT(stationsOf(input), ElementsAre("A|a://1"));
  EXPECT_THAT(input.notes,
              ElementsAre("line 4 is empty: the window stops reading there, and so does the "
                          "check (2 lines after it not read)",
                          "2 lines without a name, an address or the comma after it: not "
                          "stations"));
}

TEST(CheckFilesTest, AMissingOrBinaryInputIsNoCrash) {
  CheckHarness h;
  EXPECT_THROW(readStationFile(h.files, h.folder.file("missing.txt")), PlatformFailure);
  std::string binary;
  for (unsigned i = 0; i < 300000; ++i) binary += static_cast<char>(i * 7919u % 256u);
  std::ofstream(h.folder.file("bin.txt"), std::ios::binary) << binary;
  const CheckInput input = readStationFile(h.files, h.folder.file("bin.txt"));
  for (const CheckStation& s : input.stations) {
    EXPECT_FALSE(s.name.empty());
    EXPECT_EQ(s.address.find(','), std::string::npos);
  }
}

TEST(CheckFilesTest, TheStationFileOutputIsWhatTheWindowLoadsAndAStoreKeeps) {
  CheckHarness h;
  writeCheckOutput(h.files, h.folder.file("live.txt"),
                   {{"中央一台", "mms://a/1"}, {"Sport, live", "http://b/2.ts"}, {"", "rtsp://c"}});
  EXPECT_EQ(fileBytes(h.folder.file("live.txt")),
            utf8ToGbk("中央一台,mms://a/1,-999,假,假\r\n"
                      "Sport， live,http://b/2.ts,-999,假,假\r\n"
                      " ,rtsp://c,-999,假,假\r\n"
                      "end\r\n"));
  const CheckInput again = readStationFile(h.files, h.folder.file("live.txt"));
  EXPECT_THAT(stationsOf(again),
              ElementsAre("中央一台|mms://a/1", "Sport， live|http://b/2.ts", "|rtsp://c"));
}

TEST(CheckFilesTest, AnM3uOutputIsExtendedM3uInUtf8) {
  CheckHarness h;
  for (const char* name : {"live.m3u", "LIVE.M3U8"}) {
    writeCheckOutput(h.files, h.folder.file(name),
                     {{"中央一台", "mms://a/1", ""}, {"Two", "http://b/2.ts", "Sport"}});
    EXPECT_EQ(fileBytes(h.folder.file(name)),
              "#EXTM3U\n#EXTINF:-1 tvg-name=\"中央一台\",中央一台\nmms://a/1\n"
              "#EXTINF:-1 tvg-name=\"Two\" group-title=\"Sport\",Two\nhttp://b/2.ts\n")
        << name;
  }
  writeCheckOutput(h.files, h.folder.file("none.m3u"), {});
  EXPECT_EQ(fileBytes(h.folder.file("none.m3u")), "#EXTM3U\n");
  EXPECT_EQ(outputFormatFor("a.m3u.txt"), OutputFormat::StationFile);
}

TEST(CheckFilesTest, AnOutputThatCannotBeWrittenIsFoundBeforeAndLeftAsItWas) {
  CheckHarness h;
  EXPECT_THROW(probeOutputWritable(h.files, h.folder.file("no/such/folder/out.txt")),
               PlatformFailure);
  const std::string old = h.writeStationFile("old.txt", {"Old,mms://old,-999,假,假", "end"});
  ::chmod(old.c_str(), 0444);
  EXPECT_THROW(probeOutputWritable(h.files, old), PlatformFailure);
  EXPECT_THROW(writeCheckOutput(h.files, old, {{"New", "mms://new"}}), PlatformFailure);
  EXPECT_EQ(fileBytes(old), utf8ToGbk("Old,mms://old,-999,假,假\r\nend\r\n"));
  // Probing a writable place creates nothing and changes nothing.
  probeOutputWritable(h.files, h.folder.file("fresh.txt"));
  EXPECT_FALSE(h.files.fileExists(h.folder.file("fresh.txt")));
}

TEST(CheckFilesTest, APlaylistIsToldByItsNameAndGivesItsEntries) {
  CheckHarness h;
  std::ofstream(h.folder.file("list.M3U8"), std::ios::binary)
      << "\xEF\xBB\xBF#EXTM3U\n#EXTINF:-1 tvg-name=\"中央 13, 新闻\" group-title=\"新闻\",\n"
         "http://a/13.ts\n"
         "#EXTINF:-1,No address\nlocal.ts\nhttp://x/a,b.ts|X-Bad=1\n";
  std::ofstream(h.folder.file("list.txt"), std::ios::binary) << "#EXTM3U\nhttp://a/13.ts\n";
  const CheckInput playlist = readCheckInput(h.files, h.folder.file("list.M3U8"));
  ASSERT_EQ(playlist.stations.size(), 3u);
  EXPECT_EQ(playlist.stations[0].name, "中央 13， 新闻");
  EXPECT_EQ(playlist.stations[0].group, "新闻");
  EXPECT_EQ(playlist.stations[1].address, h.folder.path() + "/local.ts");
  EXPECT_EQ(playlist.stations[2].address, "http://x/a%2Cb.ts");
  ASSERT_EQ(playlist.notes.size(), 1u);
  EXPECT_THAT(playlist.notes[0], HasSubstr("kept without the request header X-Bad"));
  // By its name, the same lines are a station file without stations.
  EXPECT_THAT(readCheckInput(h.files, h.folder.file("list.txt")).stations, IsEmpty());
  for (const char* name : {"a.m3u", "b.PLS", "c.asx", "d.m3u8"}) EXPECT_TRUE(namesPlaylist(name));
  for (const char* name : {"tv_lib.txt", "m3u", "a.m3u.txt", "dir.m3u/tv"}) {
    EXPECT_FALSE(namesPlaylist(name)) << name;
  }
}

TEST(CheckFilesTest, WhatAStationFileCannotHoldIsReportedAndNeverWrittenBroken) {
  CheckHarness h;
  const std::string surrogate = "\xED\xA0\x80";  // no character: a text cut in UTF-16
  const OutputReport report = writeCheckOutput(h.files, h.folder.file("live.txt"),
                                               {{"Ελληνικά " + surrogate, "http://a/1"},
                                                {"Ok", "http://a/" + surrogate},
                                                {"好 🙂", "http://a/κανάλι"}});
  EXPECT_THAT(report.namesLosingCharacters, ElementsAre("Ελληνικά " + surrogate));
  EXPECT_THAT(report.addressesNotStorable, ElementsAre("Ok,http://a/" + surrogate));
  EXPECT_EQ(report.written, 2u);
  const std::vector<std::string> lines = h.readLines("live.txt");
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0], "Ελληνικά ?,http://a/1,-999,假,假");
  EXPECT_EQ(lines[1], "好 🙂,http://a/κανάλι,-999,假,假");
  // An M3U playlist is UTF-8 and holds them all.
  const OutputReport m3u =
      writeCheckOutput(h.files, h.folder.file("live.m3u"), {{"Ok", "http://a/κανάλι"}});
  EXPECT_EQ(m3u.written, 1u);
  EXPECT_THAT(fileBytes(h.folder.file("live.m3u")), HasSubstr("\nhttp://a/κανάλι\n"));
}

}  // namespace
}  // namespace zelvo::test
