// Catch-up addresses: each mode and placeholder, the catch-up window, and the cases that give
// a reason instead of an address.
#include <gtest/gtest.h>

#include "guide/CatchupAddress.h"
#include "support/TimeZone.h"

namespace zelvo::test {
namespace {

// 2024-03-01 12:00:00 UTC, 20:00 in Beijing.
constexpr int64_t kStart = 1709294400;
constexpr int64_t kStop = kStart + 5400;
constexpr int64_t kNow = kStart + 7200;

TEST(CatchupAddress, EachModeAndPlaceholderGivesTheAddressOrAReason) {
  TimeZone beijing("CST-8");
  struct Case {
    const char* live;
    const char* mode;
    const char* source;
    int days;
    int64_t start;
    const char* address;  // empty when not playable
    const char* reason;   // a part of the reason
    int correction = 0;   // catchup-correction, in seconds
  };
  const Case cases[] = {
      {"http://a/live", "default", "http://a/arc?s={utc}&e={utcend}&n={lutc}", 0, kStart,
       "http://a/arc?s=1709294400&e=1709299800&n=1709301600", ""},
      {"http://a/live", "Default", "http://a/{start}-{end}/${start}/${end}/${timestamp}", 0, kStart,
       "http://a/1709294400-1709299800/1709294400/1709299800/1709301600", ""},
      {"http://a/live", "default", "http://a/{Y}{m}{d}{H}{M}{S}/{duration}/{offset}", 0, kStart,
       "http://a/20240301200000/5400/7200", ""},
      {"http://a/live", "default", "http://a/?d={duration:60}&o={offset:60}&t={utc:Ymd-HM}", 0,
       kStart, "http://a/?d=90&o=120&t=20240301-2000", ""},
      {"http://a/live.m3u8?k=1", "append", "&playseek={utc}-{utcend}", 0, kStart,
       "http://a/live.m3u8?k=1&playseek=1709294400-1709299800", ""},
      {"http://a/live.ts", "shift", "", 0, kStart,
       "http://a/live.ts?utc=1709294400&lutc=1709301600", ""},
      {"http://a/live.ts?k=1", "shift", "", 0, kStart,
       "http://a/live.ts?k=1&utc=1709294400&lutc=1709301600", ""},
      {"http://a/live.ts|Referer=r", "shift", "", 0, kStart,
       "http://a/live.ts?utc=1709294400&lutc=1709301600|Referer=r", ""},
      {"http://a/live|Referer=r", "default", "http://b/{utc}|Cookie=c", 0, kStart,
       "http://b/1709294400|Cookie=c", ""},
      {"http://f:8080/ch1/mpegts?token=x", "flussonic", "", 0, kStart,
       "http://f:8080/ch1/timeshift_abs-1709294400.ts?token=x", ""},
      {"http://f/ch1/index.m3u8?token=x", "fs", "", 0, kStart,
       "http://f/ch1/index-1709294400-5400.m3u8?token=x", ""},
      {"http://x:8000/live/user/pass/42.m3u8", "xc", "", 0, kStart,
       "http://x:8000/timeshift/user/pass/90/2024-03-01:20-00/42.m3u8", ""},
      {"http://x:8000/user/pass/42", "xc", "", 0, kStart,
       "http://x:8000/timeshift/user/pass/90/2024-03-01:20-00/42.ts", ""},
      // Within catchup-days, and the days when the playlist gives none.
      {"http://a/live", "shift", "", 3, kNow - 3 * 86400 + 60,
       "http://a/live?utc=1709042460&lutc=1709301600", ""},
      {"http://a/live", "shift", "", 3, kNow - 3 * 86400 - 60, "", "3 天"},
      {"http://a/live", "shift", "", 0, kNow - 86400 - 60, "", "1 天"},
      // What cannot be played says why, and never gives a half-filled address.
      {"http://a/live", "default", "http://a/?s={utc}&x={bogus}", 0, kStart, "", "{bogus}"},
      {"http://a/live", "default", "http://a/?s=${(b)yyyyMMdd}", 0, kStart, "", "${(b)yyyyMMdd}"},
      {"http://a/live", "default", "http://a/?d={duration:0}", 0, kStart, "", "{duration:0}"},
      {"http://a/live", "default", "http://a/?s={utc", 0, kStart, "", "}"},
      {"http://a/live", "default", "", 0, kStart, "", "模板"},
      {"http://a/live", "append", "", 0, kStart, "", "模板"},
      {"http://a/live", "", "http://a/{utc}", 0, kStart, "", "不提供回看"},
      {"http://a/live", "vod", "http://a/{utc}", 0, kStart, "", "vod"},
      {"http://f/ch1/playlist", "flussonic", "", 0, kStart, "", "Flussonic"},
      {"http://x/only/two", "xc", "", 0, kStart, "", "Xtream Codes"},
      {"http://a/live", "shift", "", 0, kNow + 60, "", "还没有开始"},
      {"http://a/live", "default", "{utc:}", 0, kStart, "", "{utc:}"},
      {"http://a/live", "default", "http://a/?t={utc:Y{m}d}", 0, kStart, "", "{utc:Y{m}"},
      // The correction moves the programme's times in the address, and only those.
      {"http://a/live", "default", "http://a/?s={utc}&e={utcend}&n={lutc}&d={duration}", 0, kStart,
       "http://a/?s=1709298000&e=1709303400&n=1709301600&d=5400", "", 3600},
      {"http://a/live", "default", "http://a/{Y}{m}{d}{H}{M}/{utc:H-M}/{offset}", 0, kStart,
       "http://a/202403011930/19-30/9000", "", -1800},
      {"http://a/live", "shift", "", 1, kNow - 86400 + 60,
       "http://a/live?utc=1709202660&lutc=1709301600", "", -12600},
  };
  for (const Case& c : cases) {
    GuideTags tags;
    tags.catchup = c.mode;
    tags.catchupSource = c.source;
    tags.catchupDays = c.days;
    tags.catchupCorrection = c.correction;
    const Programme programme{c.start, c.start + 5400, "节目", ""};
    const CatchupResult result = catchupAddress(c.live, tags, programme, kNow);
    const std::string what = std::string(c.mode) + " " + c.source + " " + c.live;
    EXPECT_EQ(result.address, c.address) << what;
    EXPECT_EQ(result.playable(), *c.address != '\0') << what;
    if (*c.address == '\0') {
      EXPECT_NE(result.problem.find(c.reason), std::string::npos) << what << ": " << result.problem;
    } else {
      EXPECT_EQ(result.problem, "") << what;
    }
  }
}

}  // namespace
}  // namespace zelvo::test
