// The guide command on a guide reader that the test answers: one line a station the guide has,
// with now and next; status 1 when there is nothing to read or nothing could be read.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sstream>

#include "cli/GuideCommand.h"
#include "fakes/FakeGuideReader.h"
#include "platform/posix/GbkTextFiles.h"
#include "support/GbkFiles.h"
#include "support/IntegrationMain.h"
#include "support/StandingClock.h"
#include "support/TempFolder.h"
#include "support/TimeZone.h"

using ::testing::ElementsAre;
using ::testing::HasSubstr;

namespace zelvo::test {
namespace {

// 2024-03-01 21:00 in Beijing.
constexpr int64_t kBase = 1709298000;

GuideReport news() {
  GuideReport report;
  report.sourcesRead = 1;
  report.skipped = 3;
  report.channels = {
      {"a.id",
       {"A"},
       "",
       {{kBase - 600, kBase + 1200, "新闻联播", ""}, {kBase + 1200, kBase + 3000, "天气预报", ""}}},
      {"b.id", {"B台"}, "", {{kBase - 7200, kBase - 3600, "早就结束", ""}}},
  };
  return report;
}

TEST(GuideCommand, PrintsNowAndNextForEachStationTheGuideHas) {
  TimeZone beijing("CST-8");
  GuideReport failed;
  failed.problems = {"http://g/guide.xml: 404 Not Found"};
  struct Case {
    const char* what;
    const char* from;
    bool sources;
    GuideReport answer;
    int status;
    std::vector<std::string> lines;
    const char* err;
  };
  const Case cases[] = {
      {"the library",
       "",
       true,
       news(),
       0,
       {"新闻台\t正在播出 20:50–21:20 新闻联播\t下一个 21:20–21:50 天气预报",
        "B台\t没有正在播出或即将播出的节目"},
       "2 of 3 stations"},
      {"another station file",
       "tv_lib_ss_jg.txt",
       true,
       news(),
       0,
       {"A\t正在播出 20:50–21:20 新闻联播\t下一个 21:20–21:50 天气预报"},
       "1 of 1 stations"},
      {"stations that shift the guide's times",
       "tv_lib_shift.txt",
       true,
       news(),
       0,
       {"新闻台-0.5\t正在播出 20:50–21:20 天气预报", "B台+2\t正在播出 21:00–22:00 早就结束"},
       "2 of 2 stations"},
      {"no station file", "missing.txt", true, news(), 1, {}, "no station file"},
      {"no guide known", "", false, news(), 1, {}, "tv_epg.txt"},
      {"no guide could be read", "", true, failed, 1, {}, "404 Not Found"},
  };
  for (const Case& c : cases) {
    TempFolder app;
    GbkTextFiles files;
    writeGbkLines(app.file("tv_lib.txt"),
                  {"新闻台,http://a/1,-999,假,假", "-------------,-------------",
                   "B台,http://b/1,-999,假,假", "C,http://c/1,-999,假,假", "end"});
    writeGbkLines(app.file("tv_lib_ss_jg.txt"), {"A,http://x/1,"});
    writeGbkLines(app.file("tv_lib_shift.txt"), {"新闻台-0.5,http://a/2,", "B台+2,http://b/2,"});
    writeGbkLines(app.file("tv_epg_map.txt"), {"新闻台\thttp://a/1\ta.id\t\t\t\t\t",
                                               "新闻台-0.5\thttp://a/2\ta.id\t\t\t\t\t\t-0.5\t",
                                               "B台+2\thttp://b/2\tb.id\t\t\t\t\t\t2\t1"});
    if (c.sources) writeGbkLines(app.file("tv_epg_src.txt"), {"http://g/guide.xml"});
    FakeGuideReader reader;
    int waits = 0;
    const StandingClock clock(kBase);
    GuideCommandOptions options{c.from, app.path(), true, &clock};
    std::ostringstream out;
    std::ostringstream err;
    const int status = runGuide(
        files, reader,
        [&] {
          ++waits;
          reader.progressed.raise("reading http://g/guide.xml");
          reader.finish(c.answer);
        },
        options, out, err);
    EXPECT_EQ(status, c.status) << c.what << ": " << err.str();
    std::vector<std::string> lines;
    std::istringstream printed(out.str());
    for (std::string line; std::getline(printed, line);) lines.push_back(line);
    EXPECT_EQ(lines, c.lines) << c.what;
    EXPECT_THAT(err.str(), HasSubstr(c.err)) << c.what;
    EXPECT_EQ(static_cast<size_t>(waits), reader.requests.size()) << c.what;
    if (!reader.requests.empty()) {
      EXPECT_THAT(err.str(), HasSubstr("reading http://g/guide.xml\n")) << c.what;
    }
  }
}

}  // namespace
}  // namespace zelvo::test

int main(int argc, char** argv) { return zelvo::test::runProgramTests(argc, argv); }
