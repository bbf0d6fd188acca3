#include "guide/NowNextText.h"

#include <cstdio>
#include <ctime>

namespace zelvo {

namespace {

std::string clockTime(int64_t utc) {
  const time_t moment = static_cast<time_t>(utc);
  std::tm parts{};
  localtime_r(&moment, &parts);
  char text[16];
  std::snprintf(text, sizeof text, "%02d:%02d", parts.tm_hour, parts.tm_min);
  return text;
}

std::string describe(const char* label, const Programme& programme) {
  return std::string(label) + " " + clockTime(programme.start) + "–" + clockTime(programme.stop) +
         " " + programme.title;
}

}  // namespace

std::string describeNowNext(const NowNext& nowNext, const std::string& separator) {
  std::string text;
  if (nowNext.now) text = describe("正在播出", *nowNext.now);
  if (nowNext.next) text += (text.empty() ? "" : separator) + describe("下一个", *nowNext.next);
  return text;
}

}  // namespace zelvo
