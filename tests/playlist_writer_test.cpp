// Writing stations as extended M3U, and reading that playlist back as the same stations.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "formats/PlaylistReader.h"
#include "formats/PlaylistWriter.h"

using ::testing::IsEmpty;

namespace zelvo::test {
namespace {

TEST(PlaylistWriting, ExtendedM3uInUtf8WithLfLineEnds) {
  EXPECT_EQ(writeExtendedM3u({{"中央一台", "http://a/1.m3u8", ""},
                              {"Say \"hi\", now", "mms://a/2", "新闻"},
                              {"comment", "#not an address", ""},
                              {"two lines", "http://a/3\nhttp://a/4", ""}}),
            "#EXTM3U\n"
            "#EXTINF:-1 tvg-name=\"中央一台\",中央一台\n"
            "http://a/1.m3u8\n"
            "#EXTINF:-1 tvg-name=\"Say 'hi'， now\" group-title=\"新闻\",Say \"hi\"， now\n"
            "mms://a/2\n");
  EXPECT_EQ(writeExtendedM3u({}), "#EXTM3U\n");
}

TEST(PlaylistWriting, WhatIsWrittenReadsBackAsTheSameStations) {
  const std::vector<PlaylistEntry> stations = {
      {"中央一台", "http://a/1.m3u8", ""},
      {"Quotes \"in\" 'name'", "rtsp://a:554/live?x=1&y=2", "Group \"one\""},
      {"  spaces inside  name", "/home/u/My Videos/clip 1.ts", ""},
      {"Percent %20%", "http://a/%E4%B8%AD%20.ts", ""},
      {"=equals= and #hash", "udp://@239.0.0.1:1234", ""},
      {"全角，逗号", "mms://a/2", "分组"},
      {std::string(1024, 'n'), "http://a/" + std::string(4000, 'p'), ""},
  };
  const Playlist back = readPlaylist(writeExtendedM3u(stations), "/elsewhere");
  ASSERT_EQ(back.entries.size(), stations.size());
  for (size_t i = 0; i < stations.size(); ++i) {
    const std::string expectedName =
        i == 2 ? "spaces inside  name" : stations[i].name;  // a name has no blanks at its ends
    EXPECT_EQ(back.entries[i].name, expectedName) << i;
    EXPECT_EQ(back.entries[i].address, stations[i].address) << i;
  }
  EXPECT_EQ(back.entries[5].group, "分组");
  EXPECT_THAT(back.problems, IsEmpty());
}

}  // namespace
}  // namespace zelvo::test
