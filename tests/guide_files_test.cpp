// What a playlist says for the guide, and the guide's files beside the library: tags per
// station and the list of guides, written and read back, broken lines passed over.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "fakes/GbkFiles.h"
#include "fakes/TempFolder.h"
#include "formats/PlaylistReader.h"
#include "guide/GuideFiles.h"
#include "platform/posix/GbkTextFiles.h"

using ::testing::ElementsAre;

namespace zelvo::test {
namespace {

std::string tagsText(const GuideTags& t) {
  return t.tvgId + "|" + t.tvgName + "|" + t.tvgLogo + "|" + t.catchup + "|" + t.catchupSource +
         "|" + std::to_string(t.catchupDays);
}

TEST(GuideFiles, AnM3uGivesEachEntrysTagsAndTheHeadersGuides) {
  const Playlist playlist = readPlaylist(
      "#EXTM3U x-tvg-url=\"http://g/1.xml.gz, http://g/2.xml\" url-tvg=\"http://g/2.xml,"
      "http://g/3.xml\"\n"
      "#EXTINF:-1 tvg-id=\"cctv1\" tvg-name=\"CCTV 1\" tvg-logo=\"http://l/1.png\" "
      "catchup=\"append\" catchup-source=\"?s={utc},{utcend}\" catchup-days=\"7\",CCTV-1\n"
      "http://s/1\n"
      "#EXTINF:-1 tvg-id=\"x\ty\" catchup-days=\"many\",Tabbed\n"
      "http://s/2\n"
      "#EXTINF:-1,Plain\nhttp://s/3\n",
      "");
  ASSERT_EQ(playlist.entries.size(), 3u);
  EXPECT_EQ(tagsText(playlist.entries[0].guide),
            "cctv1|CCTV 1|http://l/1.png|append|?s={utc},{utcend}|7");
  EXPECT_EQ(tagsText(playlist.entries[1].guide), "x y|||||0");  // no tab survives in a tag
  EXPECT_TRUE(playlist.entries[2].guide.empty());
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

  EXPECT_EQ(recordGuideTags(files, map, {tagged, untagged, notStorable}), 1);
  EXPECT_THAT(readGbkLines(map), ElementsAre("中央一台\thttp://s/1\tcctv1\tCCTV 1\t\tshift\t\t3"));
  const std::string written = fileBytes(map);
  EXPECT_EQ(recordGuideTags(files, map, {tagged}), 0);  // nothing new: the file is left alone
  EXPECT_EQ(fileBytes(map), written);

  // Lines of another form are passed over; a later import replaces a station's tags.
  writeGbkLines(map, {"中央一台\thttp://s/1\tcctv1\tCCTV 1\t\tshift\t\t3", "garbage",
                      "A\thttp://a\t1\t2\t3\t4\t5\tseven", "\thttp://b\t\t\t\t\t\t",
                      "B\thttp://b\tb.id\t\t\t\t\t\textra", "C\thttp://c\tc.id\t\t\t\t\t"});
  tagged.guide.catchupDays = 5;
  EXPECT_EQ(recordGuideTags(files, map, {tagged}), 1);
  const GuideMap read = readGuideMap(files, map);
  ASSERT_EQ(read.stations().size(), 2u);
  EXPECT_EQ(tagsText(*read.find("中央一台", "http://s/1")), "cctv1|CCTV 1||shift||5");
  EXPECT_EQ(read.find("C", "http://c")->tvgId, "c.id");
  EXPECT_EQ(read.findByName("C")->tvgId, "c.id");
  EXPECT_EQ(read.find("C", "http://other"), nullptr);
  EXPECT_TRUE(readGuideMap(files, folder.file("missing.txt")).stations().empty());

  EXPECT_EQ(recordGuideSources(files, sources, {"http://g/1", " http://g/2 ", "http://g/1"}), 2);
  EXPECT_EQ(recordGuideSources(files, sources, {"http://g/2", "http://g/3", ""}), 1);
  EXPECT_THAT(readGbkLines(sources), ElementsAre("http://g/1", "http://g/2", "http://g/3"));
  writeGbkLines(folder.file(kUserGuidesFile),
                {"# my guides", "", "  /home/me/guide.xml ", "http://g/1", "http://g/1"});
  EXPECT_THAT(readGuideSources(files, folder.file(kUserGuidesFile)),
              ElementsAre("/home/me/guide.xml", "http://g/1"));
}

}  // namespace
}  // namespace zelvo::test
