// What a playlist says for the guide, and the guide's files beside the library: tags per
// station and the list of guides, written and read back, broken lines passed over.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "formats/PlaylistReader.h"
#include "guide/GuideFiles.h"
#include "guide/ProgrammeGuide.h"
#include "platform/posix/GbkTextFiles.h"
#include "support/GbkFiles.h"
#include "support/StandingClock.h"
#include "support/TempFolder.h"

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::IsEmpty;

namespace zelvo::test {
namespace {

std::string tagsText(const GuideTags& t) {
  std::string text = t.tvgId + "|" + t.tvgName + "|" + t.tvgLogo + "|" + t.catchup + "|" +
                     t.catchupSource + "|" + std::to_string(t.catchupDays);
  if (t.tvgShift != 0 || t.catchupCorrection != 0)
    text += "|" + std::to_string(t.tvgShift) + "|" + std::to_string(t.catchupCorrection);
  return text;
}

TEST(GuideFiles, AnM3uGivesEachEntrysTagsAndTheHeadersGuides) {
  const Playlist playlist = readPlaylist(
      "#EXTM3U x-tvg-url=\"http://g/1.xml.gz, http://g/2.xml\" url-tvg=\"http://g/2.xml,"
      "http://g/3.xml\"\n"
      "#EXTINF:-1 tvg-id=\"cctv1\" tvg-name=\"CCTV 1\" tvg-logo=\"http://l/1.png\" "
      "catchup=\"append\" catchup-source=\"?s={utc},{utcend}\" catchup-days=\"7\",CCTV-1\n"
      "http://s/1\n"
      "#EXTINF:-1 tvg-id=\"x\ty\" catchup-days=\"many\" catchup=\"\x02\" "
      "tvg-name=\"n\x01\" catchup-source=\"?s={utc}\x1b&e={utcend}\",Tabbed\n"
      "http://s/2\n"
      "#EXTINF:-1,Plain\nhttp://s/3\n",
      "");
  ASSERT_EQ(playlist.entries.size(), 3u);
  EXPECT_EQ(tagsText(playlist.entries[0].guide),
            "cctv1|CCTV 1|http://l/1.png|append|?s={utc},{utcend}|7");
  // No tab survives in a tag, and no value ends in the blank a control character became.
  EXPECT_EQ(tagsText(playlist.entries[1].guide), "x y|n|||?s={utc} &e={utcend}|0");
  EXPECT_TRUE(playlist.entries[2].guide.empty());

  // Shifts in hours: #EXTM3U gives the default up to the next #EXTM3U, an entry's own wins,
  // an explicit 0 among them, and one that cannot be read leaves the default.
  const Playlist shifted = readPlaylist(
      "#EXTM3U tvg-shift=\"-3.5\" catchup-correction=1\n"
      "#EXTINF:-1,Default\nhttp://s/1\n"
      "#EXTINF:-1 tvg-shift=\"0\" catchup-correction=\"+0.25\",Zero\nhttp://s/2\n"
      "#EXTINF:-1 tvg-shift=\"+8\" catchup-correction=\"-.5\",Own\nhttp://s/3\n"
      "#EXTINF:-1 tvg-shift=\"east\" catchup-correction=\"99\",Unreadable\nhttp://s/4\n"
      "#EXTM3U\n"
      "#EXTINF:-1,NextList\nhttp://s/5\n",
      "");
  ASSERT_EQ(shifted.entries.size(), 5u);
  EXPECT_EQ(tagsText(shifted.entries[0].guide), "|||||0|-12600|3600");
  EXPECT_EQ(tagsText(shifted.entries[1].guide), "|||||0|0|900");
  EXPECT_EQ(tagsText(shifted.entries[2].guide), "|||||0|28800|-1800");
  EXPECT_EQ(tagsText(shifted.entries[3].guide), "|||||0|-12600|3600");
  EXPECT_TRUE(shifted.entries[4].guide.empty());
  EXPECT_THAT(playlist.guideAddresses,
              ElementsAre("http://g/1.xml.gz", "http://g/2.xml", "http://g/3.xml"));
  EXPECT_TRUE(readPlaylist("[playlist]\nFile1=http://s/1\n", "").guideAddresses.empty());
}

TEST(GuideFiles, TagsAndSourcesAreRecordedOnceReadBackAndBrokenLinesPassedOver) {
  TempFolder folder;
  GbkTextFiles files;
  const std::string map = folder.file(kGuideMapFile);
  const std::string sources = folder.file(kGuideSourcesFile);
  PlaylistEntry tagged{"中央一台", "http://s/1", "", {"cctv1", "CCTV 1", "", "shift", "", 3}};
  PlaylistEntry untagged{"Plain", "http://s/2", "", {}};
  PlaylistEntry notStorable{"Cut", "http://s/\xED\xA0\x80", "", {"e", "", "", "", "", 0}};

  EXPECT_EQ(recordGuideTags(files, map, {tagged, untagged, notStorable}).changed, 1);
  EXPECT_THAT(readGbkLines(map), ElementsAre("中央一台\thttp://s/1\tcctv1\tCCTV 1\t\tshift\t\t3"));
  const std::string written = fileBytes(map);
  EXPECT_EQ(recordGuideTags(files, map, {tagged}).changed, 0);  // nothing new: left alone
  EXPECT_EQ(fileBytes(map), written);

  // Lines of another form are passed over; a later import replaces a station's tags. Shifts
  // stand in two more fields, in hours; lines without them read as before.
  writeGbkLines(map, {"中央一台\thttp://s/1\tcctv1\tCCTV 1\t\tshift\t\t3", "garbage",
                      "A\thttp://a\t1\t2\t3\t4\t5\tseven", "\thttp://b\t\t\t\t\t\t",
                      "B\thttp://b\tb.id\t\t\t\t\t\textra", "C\thttp://c\tc.id\t\t\t\t\t",
                      "D\thttp://d\td.id\t\t\t\t\t\t1.5\t", "E\thttp://e\t\t\t\t\t\t\tx\t1"});
  tagged.guide.catchupDays = 5;
  tagged.guide.tvgShift = -12600;
  tagged.guide.catchupCorrection = 1;
  EXPECT_EQ(recordGuideTags(files, map, {tagged}).changed, 1);
  EXPECT_EQ(readGbkLines(map)[0],
            "中央一台\thttp://s/1\tcctv1\tCCTV 1\t\tshift\t\t5\t-3.5\t0.0003");
  const GuideMap read = readGuideMap(files, map);
  ASSERT_EQ(read.stations().size(), 3u);
  EXPECT_EQ(tagsText(*read.find("中央一台", "http://s/1")), "cctv1|CCTV 1||shift||5|-12600|1");
  EXPECT_EQ(tagsText(*read.find("D", "http://d")), "d.id|||||0|5400|0");
  EXPECT_EQ(read.find("C", "http://c")->tvgId, "c.id");
  EXPECT_EQ(read.findByName("C")->tvgId, "c.id");
  EXPECT_EQ(read.find("C", "http://other"), nullptr);
  EXPECT_TRUE(readGuideMap(files, folder.file("missing.txt")).stations().empty());

  // A value whose line would not read back is left out and named; the rest is kept.
  PlaylistEntry dataLogo{"台标", "http://s/9", "", {"logo.id", "", "", "", "", 0}};
  dataLogo.guide.tvgLogo = "data:image/png;base64," + std::string(kMaxGuideMapLineBytes, 'A');
  const GuideTagsRecorded recorded = recordGuideTags(files, map, {dataLogo});
  EXPECT_EQ(recorded.changed, 1);
  EXPECT_THAT(recorded.refused, ElementsAre("台标: tvg-logo (1048598 bytes)"));
  EXPECT_EQ(tagsText(*readGuideMap(files, map).find("台标", "http://s/9")), "logo.id|||||0");
  EXPECT_EQ(readGuideMap(files, map).stations().size(), 4u);

  EXPECT_EQ(recordGuideSources(files, sources, {"http://g/1", " http://g/2 ", "http://g/1"}), 2);
  EXPECT_EQ(recordGuideSources(files, sources, {"http://g/2", "http://g/3", ""}), 1);
  EXPECT_THAT(readGbkLines(sources), ElementsAre("http://g/1", "http://g/2", "http://g/3"));
  writeGbkLines(folder.file(kUserGuidesFile),
                {"# my guides", "", "  /home/me/guide.xml ", "http://g/1", "http://g/1"});
  EXPECT_THAT(readGuideSources(files, folder.file(kUserGuidesFile)),
              ElementsAre("/home/me/guide.xml", "http://g/1"));
}

TEST(GuideFiles, PlaylistGroupsAreRecordedBesideTheTagsAndOpenedListsComeFirst) {
  const Playlist playlist = readPlaylist(
      "#EXTM3U\n"
      "#EXTINF:-1 tvg-id=\"a.id\" group-title=\"News; 央视 ;;News\",A\nhttp://s/a\n"
      "#EXTINF:-1,B\n#EXTGRP:Sport\nhttp://s/b\n"
      "#EXTGRP:Kids\n#EXTINF:-1 group-title=\"Film\",C\n#EXTGRP: Music \nhttp://s/c\n"
      "#EXTINF:-1,D\nhttp://s/d\n",
      "");
  struct Case {
    const char* name;
    std::vector<std::string> groups;
  } cases[] = {
      {"A", {"News", "央视"}}, {"B", {"Sport"}}, {"C", {"Film", "Kids", "Music"}}, {"D", {}}};

  TempFolder folder;
  GbkTextFiles files;
  const std::string path = folder.file(kGuideMapFile);
  // A file of an older program: tags lines only, one without and one with shifts.
  writeGbkLines(path, {"Old\thttp://s/old\told.id\t\t\t\t\t", "A\thttp://s/a\ta0\t\t\t\t\t\t1\t"});
  const GuideTagsRecorded recorded = recordGuideTags(files, path, playlist.entries);
  EXPECT_EQ(recorded.changed, 1);
  EXPECT_EQ(recorded.grouped, 3);
  const GuideMap map = readGuideMap(files, path);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string address = "http://s/" + std::string(1, static_cast<char>(c.name[0] + 32));
    EXPECT_THAT(map.groupsOf(c.name, address), ElementsAreArray(c.groups));
  }
  EXPECT_EQ(map.find("Old", "http://s/old")->tvgId, "old.id");
  EXPECT_EQ(map.find("A", "http://s/a")->tvgId, "a.id");
  EXPECT_EQ(map.find("B", "http://s/b"), nullptr);  // groups only: no tags line
  // The tags lines stay of the forms older programs read; the groups stand on lines of three
  // fields, which they pass over.
  size_t groupLines = 0;
  for (const std::string& line : readGbkLines(path)) {
    const auto fields = std::count(line.begin(), line.end(), '\t') + 1;
    EXPECT_TRUE(fields == 3 || fields == 8 || fields == 10) << line;
    groupLines += fields == 3;
  }
  EXPECT_EQ(groupLines, 3u);

  // A playlist opened in the session gives its groups before the file's.
  StandingClock clock(0);
  ProgrammeGuide guide(files, folder.path(), clock);
  guide.refresh({});
  guide.addPlaylist({{"A", "http://s/a", "Live;Live; HD", {}}}, {});
  EXPECT_THAT(guide.groupsOf("A", "http://s/a"), ElementsAre("Live", "HD"));
  EXPECT_THAT(guide.groupsOf("C", "http://s/c"), ElementsAre("Film", "Kids", "Music"));
  EXPECT_THAT(guide.groupsOf("C", "http://s/other"), IsEmpty());
}

}  // namespace
}  // namespace zelvo::test
