// Which guide channel a station gets, and which channels a read keeps for a list of stations.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "guide/GuideMatching.h"

using ::testing::UnorderedElementsAre;

namespace zelvo::test {
namespace {

TEST(GuideMatching, IdFirstThenTvgNameThenTheStationsOwnName) {
  const std::vector<GuideChannel> channels = {
      {"cctv1.cn", {"CCTV-1 综合", "CCTV1"}, "", {}},
      {"cctv2.cn", {"CCTV-2"}, "", {}},
      {"hunan.cn", {"湖南  卫视 "}, "", {}},
      {"", {"No Id"}, "", {}},
      {"dup.cn", {"CCTV1"}, "", {}},  // a name already taken stays with the first channel
  };
  const ChannelIndex index(channels);
  struct Case {
    const char* name;
    const char* tvgId;
    const char* tvgName;
    const char* channel;  // the id of the channel found, "-" for none
  };
  const Case cases[] = {
      {"随便", "cctv2.cn", "CCTV1", "cctv2.cn"},    // the id wins over the tvg-name
      {"随便", "unknown.id", "cctv1", "cctv1.cn"},  // an unknown id falls back to the names
      {"CCTV-2", "", "unknown", "cctv2.cn"},        // then the station's own name
      {"CCTV-2", "", "CCTV1", "cctv1.cn"},          // the tvg-name wins over the own name
      {"  cctv-1   综合 ", "", "", "cctv1.cn"},     // case and blanks do not count
      {"湖南 卫视", "", "", "hunan.cn"},
      {"no id", "", "", ""},
      {"CCTV1", "", "", "cctv1.cn"},
      {"CCTV-3", "", "", "-"},
      {"", "", "", "-"},
      {"CCTV 2", "", "", "-"},  // a blank is no hyphen
  };
  for (const Case& c : cases) {
    GuideTags tags;
    tags.tvgId = c.tvgId;
    tags.tvgName = c.tvgName;
    const GuideChannel* found = index.find(c.name, tags);
    EXPECT_EQ(found ? found->id : "-", c.channel) << c.name << " " << c.tvgId << " " << c.tvgName;
  }
}

TEST(GuideMatching, AReadKeepsTheIdsAndTheNormalizedNamesOfTheStations) {
  GuideStation tagged{"湖南卫视 HD", "http://h/1", {}};
  tagged.tags.tvgId = "hunan.cn";
  tagged.tags.tvgName = " Hunan  TV ";
  const GuideWanted wanted = wantedFor({tagged, {"CCTV-1", "http://c/1", {}}, {"  ", "", {}}});
  EXPECT_THAT(wanted.ids, UnorderedElementsAre("hunan.cn"));
  EXPECT_THAT(wanted.names, UnorderedElementsAre("hunan tv", "湖南卫视 hd", "cctv-1"));
}

}  // namespace
}  // namespace zelvo::test
