// The station search: part of the name ignoring case and blanks, or a prefix of the pinyin
// initials by any reading; bad names and texts give an empty result, never a crash.
#include <gtest/gtest.h>

#include "library/StationSearch.h"
#include "platform/posix/GbkCodec.h"

namespace zelvo {
namespace {

std::string repeated(const std::string& part, int times) {
  std::string text;
  for (int i = 0; i < times; ++i) text += part;
  return text;
}

TEST(StationSearch, TextsAgainstNames) {
  const std::string longName = repeated("浙", 341);  // 1,023 bytes
  struct Case {
    std::string text;
    std::string name;
    bool found;
  };
  const Case cases[] = {
      // initials, also of a part of them, and only from the start
      {"zjws", "浙江卫视", true},
      {"ZJW", "浙江卫视", true},
      {"jws", "浙江卫视", false},
      {"zjwsx", "浙江卫视", false},
      {"ＺＪ ｗｓ", "浙江卫视", true},
      // letters and digits stand for themselves, symbols and blanks are passed over
      {"cctv5", "CCTV-5 体育", true},
      {"cctv5ty", "CCTV-5 体育", true},
      {"zjwshd", "浙江卫视 HD", true},
      {"cctv13", "ＣＣＴＶ　１３", true},
      {"5ty", "CCTV-5 体育", false},
      // several readings: any of them
      {"zq", "重庆卫视", true},
      {"cq", "重庆卫视", true},
      {"yh", "银行频道", true},
      {"yx", "银行频道", true},
      {"za", "长安台", true},
      {"ca", "长安台", true},
      {"ba", "长安台", false},
      // any part of the name, ignoring case, width and blanks
      {"卫视", "浙江卫视", true},
      {"江 卫", "浙江卫视", true},
      {"hunan", "Hu Nan\tTV", true},
      {"ＴＶ", "凤凰tv 中文", true},
      {"凤凰TV中", "凤凰tv 中文", true},
      {"-5 体", "CCTV-5 体育", true},
      {"视卫", "浙江卫视", false},
      // characters beyond GB2312 that the table holds
      {"qy", "㐀云", true},
      // empty and blank texts match everything, control characters nothing
      {"", "浙江卫视", true},
      {" \t　", "", true},
      {"\x01\x02", "浙江卫视", false},
      {"zj\x1b", "浙江卫视", false},
      {"\x7f", "\x7f", false},
      // a long name and a long text
      {repeated("z", 200), longName, true},
      {repeated("z", 341) + "j", longName, false},
      {repeated("浙", 200), longName, true},
      {repeated("a", 200), "浙江卫视", false},
      // names of symbols only, or of characters the table does not hold
      {"zj", "★★★ ---", false},
      {"★ -", "★★★ ---", true},
      {"ds", "📺📺", false},
      {"📺", "📺📺", true},
      // broken UTF-8 costs the broken bytes only
      {"zj", "\xff\xfe浙江\xe6\xb5", true},
      {"\xe6\xb5", "浙江", false},
      {"\xc0\xaf", "/", false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(stationNameMatches(c.name, c.text), c.found) << c.text << " in " << c.name;
    StationSearch search;
    search.setNames({c.name});
    EXPECT_EQ(search.find(c.text), c.found ? std::vector<int>{0} : std::vector<int>{})
        << c.text << " in " << c.name;
  }
}

TEST(StationSearch, FindGivesTheMatchingIndicesInOrderAndFollowsNewNames) {
  StationSearch search;
  search.setNames({"湖南卫视", "CCTV-1", "浙江卫视", "湖北卫视", ""});
  EXPECT_EQ(search.find("hn"), (std::vector<int>{0}));
  EXPECT_EQ(search.find("卫视"), (std::vector<int>{0, 2, 3}));
  EXPECT_EQ(search.find(" "), (std::vector<int>{0, 1, 2, 3, 4}));
  EXPECT_EQ(search.find("\n"), (std::vector<int>{}));
  search.setNames({"湖北卫视"});
  EXPECT_EQ(search.find("hb"), (std::vector<int>{0}));
  EXPECT_EQ(search.find("hn"), (std::vector<int>{}));
}

// Every hanzi of GB2312 (rows 0xB0-0xF7; 0xD7FA-0xD7FE are unassigned) has initials.
TEST(StationSearch, EveryGb2312CharacterHasInitials) {
  int characters = 0;
  std::string without;
  for (int row = 0xB0; row <= 0xF7; ++row) {
    for (int cell = 0xA1; cell <= 0xFE; ++cell) {
      if (row == 0xD7 && cell >= 0xFA) continue;
      const std::string hanzi =
          gbkToUtf8(std::string{static_cast<char>(row), static_cast<char>(cell)});
      ++characters;
      bool found = false;
      for (char letter = 'a'; letter <= 'z' && !found; ++letter) {
        found = stationNameMatches(hanzi, std::string(1, letter));
      }
      if (!found) without += hanzi;
    }
  }
  EXPECT_EQ(characters, 6763);
  EXPECT_EQ(without, "");
}

}  // namespace
}  // namespace zelvo
