// A long station list as an import gives it: Chinese, Latin and mixed names, each repeated with
// a number, up to the station list's 32,767 rows.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace zelvo::bench {

// Views of the names, as the search takes them.
inline std::vector<std::string_view> viewsOf(const std::vector<std::string>& names) {
  return {names.begin(), names.end()};
}

inline std::vector<std::string> manyStationNames(int count = 32767) {
  static const char* const kNames[] = {"CCTV-1 综合",
                                       "CCTV-5 体育",
                                       "CCTV-13 新闻",
                                       "浙江卫视",
                                       "湖南卫视 HD",
                                       "东方卫视",
                                       "江苏卫视",
                                       "北京卫视",
                                       "重庆卫视",
                                       "广东珠江",
                                       "深圳卫视",
                                       "凤凰卫视中文台",
                                       "凤凰资讯",
                                       "安徽卫视",
                                       "山东卫视",
                                       "天津卫视",
                                       "湖北卫视",
                                       "四川卫视",
                                       "黑龙江卫视",
                                       "辽宁卫视",
                                       "长沙新闻",
                                       "银行理财",
                                       "厦门卫视",
                                       "香港 TVB 翡翠台",
                                       "Big Buck Bunny 测试流",
                                       "Apple 基本测试流",
                                       "Tears of Steel 测试流",
                                       "BBC World News",
                                       "Al Jazeera English",
                                       "France 24",
                                       "NHK World",
                                       "DW English",
                                       "Bloomberg TV",
                                       "Euronews",
                                       "CGTN Documentary",
                                       "ＣＣＴＶ１１ 戏曲",
                                       "少儿频道",
                                       "纪录频道",
                                       "电影频道 CHC",
                                       "音乐 Radio 88.7"};
  constexpr int kCount = sizeof kNames / sizeof kNames[0];
  std::vector<std::string> names;
  names.reserve(count);
  for (int i = 0; i < count; ++i) {
    names.push_back(std::string(kNames[i % kCount]) + " " + std::to_string(i / kCount + 1));
  }
  return names;
}

}  // namespace zelvo::bench
