// The "|" suffix of a station's address: headers in and out, and what is refused.
#include <gtest/gtest.h>

#include "formats/StationAddress.h"

namespace zelvo::test {
namespace {

using Kind = HeaderProblem::Kind;

TEST(StationAddress, HeadersReadAndWrittenInThePipeForm) {
  struct Case {
    std::string address;
    StationAddress expected;
    std::string written;  // what joinStationAddress gives back
  };
  const Case cases[] = {
      {"http://h/live.m3u8", {"http://h/live.m3u8", {}}, "http://h/live.m3u8"},
      {"http://h/a.m3u8|User-Agent=Mozilla%2F5.0%20(X11)&Referer=https%3A%2F%2Fsite%2F",
       {"http://h/a.m3u8", {"Mozilla/5.0 (X11)", "https://site/", "", ""}},
       "http://h/a.m3u8|User-Agent=Mozilla%2F5.0%20(X11)&Referer=https%3A%2F%2Fsite%2F"},
      {"http://h/a|referrer=r&ORIGIN=o&cookie=a%3Db%3B%20c%3Dd&user-agent=u",
       {"http://h/a", {"u", "r", "o", "a=b; c=d"}},
       "http://h/a|User-Agent=u&Referer=r&Origin=o&Cookie=a%3Db%3B%20c%3Dd"},
      {"http://h/a|User-Agent=a%2Cb%7Cc%26d%25e+f%zz",
       {"http://h/a", {"a,b|c&d%e+f%zz", "", "", ""}},
       "http://h/a|User-Agent=a%2Cb%7Cc%26d%25e%2Bf%25zz"},
      {"http://h/a|", {"http://h/a", {}}, "http://h/a"},
  };
  for (const Case& c : cases) {
    const StationAddress got = splitStationAddress(c.address);
    EXPECT_EQ(got.url, c.expected.url) << c.address;
    EXPECT_EQ(got.headers, c.expected.headers) << c.address;
    EXPECT_EQ(joinStationAddress(got.url, got.headers), c.written) << c.address;
    EXPECT_EQ(addressUrl(c.address), c.expected.url);
  }
}

TEST(StationAddress, BadHeadersAreLeftOutAndReported) {
  std::vector<HeaderProblem> problems;
  const StationAddress got = splitStationAddress(
      "http://h/a|User-Agent=ok&X-Forwarded-For=1.2.3.4&Referer=a%0D%0ASet-Cookie%3A%20x&Cookie=" +
          std::string(kMaxHeaderValueBytes + 1, 'c') + "&Origin=o%7F",
      &problems);
  EXPECT_EQ(got.headers, (RequestHeaders{"ok", "", "", ""}));
  ASSERT_EQ(problems.size(), 4u);
  EXPECT_EQ(problems[0].kind, Kind::UnknownName);
  EXPECT_EQ(problems[0].name, "X-Forwarded-For");
  EXPECT_EQ(problems[1].kind, Kind::ControlCharacter);
  EXPECT_EQ(problems[2].kind, Kind::TooLong);
  EXPECT_EQ(problems[3].kind, Kind::ControlCharacter);
  // Whatever a value holds, the written address has no comma, no blank and no control character.
  RequestHeaders hostile;
  hostile.userAgent = "a,b c|d&e=f\xe4\xb8\xad";
  const std::string written = joinStationAddress("http://h/a", hostile);
  EXPECT_EQ(written.find_first_of(", \t\r\n"), std::string::npos) << written;
  EXPECT_EQ(splitStationAddress(written).headers, hostile);
}

}  // namespace
}  // namespace zelvo::test
