// The guide window of the window on fakes, wired as the program wires it: the days it offers, the
// day's rows with the running one, what a double-click plays through the window's players (a
// past programme from the catch-up address the playlist's tags make), and the logo fetched once.
#include <gtest/gtest.h>

#include <ctime>

#include "fakes/WindowHarness.h"
#include "guide/GuideWindow.h"
#include "library/StationList.h"
#include "support/TimeZone.h"

namespace zelvo::test {
namespace {

constexpr int64_t kHour = 3600;
constexpr int64_t kDec9 = 1796745600;  // 2026-12-09 00:00 in UTC+8, a Wednesday

// The station 甲台 with hour-long programmes from 23:30 on the 7th to 23:30 on the 10th of
// December, titled by day and time ("8日23:30" runs into the 9th); the window's clock stands at
// 10:45 on the 9th in UTC+8. Its playlist gives catch-up as "append" with "?utc={utc}".
struct Guide {
  TimeZone zone{"CST-8"};
  WindowHarness h;
  FakeGuideView& view = h.guideView;
  FakeGuideReader& reader = h.guideReader;
  GuideChannel channel{"jia", {"甲台"}, "http://logo/icon.png", {}};
  bool matched = true;
  GuideTags tags;

  Guide() {
    tags.catchup = "append";
    tags.catchupSource = "?utc={utc}";
    tags.catchupDays = 2;
    for (int64_t start = kDec9 - 24 * kHour - 1800; start < kDec9 + 47 * kHour; start += kHour) {
      const std::time_t t = start;
      std::tm local{};
      localtime_r(&t, &local);
      const std::string hour = (local.tm_hour < 10 ? "0" : "") + std::to_string(local.tm_hour);
      channel.programmes.push_back(
          {start, start + kHour, std::to_string(local.tm_mday) + "日" + hour + ":30", ""});
    }
    addStationRow(h.c, "甲台", "http://live/jia", 0);
    addStationRow(h.c, "乙台", "http://live/yi", 1);
    showStationRow(h.c, 0);
    h.clock.set(kDec9 + 10 * kHour + 45 * 60);
  }
  // The session's playlist gives the station's tags, the guide reader its channel.
  void read() {
    h.window->guide().addPlaylist({{"甲台", "http://live/jia", "", tags}}, {});
    GuideReport report;
    if (matched) report.channels = {channel};
    report.sourcesRead = 1;
    reader.finish(report);
  }
  void open() {
    read();
    h.c.form1.userShortcut("F2");
  }
};

// "first day..last day [chosen day] rows: first row *running status", or "-" when hidden.
std::string summary(const FakeGuideView& view) {
  if (!view.shown) return "-";
  std::string text;
  if (!view.days.empty())
    text = view.days.front() + ".." + view.days.back() + " [" + view.days.at(view.chosen) + "] ";
  text += std::to_string(view.rows.size()) + ":";
  if (!view.rows.empty()) text += " " + view.rows.front().title;
  for (const GuideRow& row : view.rows)
    if (row.running) text += " *" + row.title;
  return view.status.empty() ? text : text + " " + view.status;
}

TEST(GuideWindow, OffersTheGuidesDaysAndTheCatchupDaysWithTodaysRowsAndTheRunningOne) {
  const std::string guideDays = "12月7日 周一..12月10日 周四 ";
  struct Case {
    const char* what;
    std::function<void(Guide&)> act;
    std::string shown;
  } cases[] = {
      {"F2: the guide's days, today chosen", [](Guide& g) { g.open(); },
       guideDays + "[12月9日 周三 今天] 25: 8日23:30 *9日10:30"},
      {"five catch-up days reach before the guide",
       [](Guide& g) { g.tags.catchupDays = 5, g.open(); },
       "12月4日 周五..12月10日 周四 [12月9日 周三 今天] 25: 8日23:30 *9日10:30"},
      {"the context menu, then a past day of the guide",
       [](Guide& g) { g.read(), g.h.c.tvm.userContextAction("节目单"), g.view.chooseDay(1); },
       guideDays + "[12月8日 周二] 25: 7日23:30"},
      {"another day, closed, F2 again: today",
       [](Guide& g) { g.open(), g.view.chooseDay(3), g.view.close(), g.open(); },
       guideDays + "[12月9日 周三 今天] 25: 8日23:30 *9日10:30"},
      {"a catch-up day the guide does not hold",
       [](Guide& g) { g.tags.catchupDays = 3, g.open(), g.view.chooseDay(0); },
       "12月6日 周日..12月10日 周四 [12月6日 周日] 0: 这一天没有节目"},
      {"a past day stays chosen at the refresh",
       [](Guide& g) { g.open(), g.view.chooseDay(1), g.h.loop.advance(30000); },
       guideDays + "[12月8日 周二] 25: 7日23:30"},
      {"an hour later the running row follows",
       [](Guide& g) { g.open(), g.h.loop.advance(kHour * 1000); },
       guideDays + "[12月9日 周三 今天] 25: 8日23:30 *9日11:30"},
      {"a station the guide does not know", [](Guide& g) { g.matched = false, g.open(); },
       "0: 没有节目信息"},
      {"the guide read while the window is open",
       [](Guide& g) { g.matched = false, g.open(), g.matched = true, g.read(); },
       guideDays + "[12月9日 周三 今天] 25: 8日23:30 *9日10:30"},
      {"the window follows a change of station",
       [](Guide& g) { g.open(), showStationRow(g.h.c, 1), g.h.loop.advance(30000); },
       "0: 没有节目信息"},
      {"another shortcut", [](Guide& g) { g.h.c.form1.userShortcut("Ctrl+R"); }, "-"},
  };
  for (const Case& c : cases) {
    Guide g;
    c.act(g);
    EXPECT_EQ(summary(g.view), c.shown) << c.what;
  }
}

TEST(GuideWindow, ADoubleClickPlaysThePastWithCatchupAndTheRunningLive) {
  struct Case {
    const char* what;
    int day;  // 2 is today
    std::string title;
    int catchupDays;
    std::string played;  // what the primary player is given
    std::string status;
    std::string catchupSource = "?utc={utc}";
  } cases[] = {
      {"the running programme", 2, "9日10:30", 2, "http://live/jia", "直播：甲台"},
      {"a past one with catch-up", 2, "9日08:30", 2,
       "http://live/jia?utc=" + std::to_string(kDec9 + 8 * kHour + 1800), "回看：08:30 9日08:30"},
      {"yesterday's, within the catch-up days", 1, "8日20:30", 2,
       "http://live/jia?utc=" + std::to_string(kDec9 - 3 * kHour - 1800), "回看：20:30 8日20:30"},
      {"one the catch-up cannot build", 1, "8日13:30", 2, "",
       "《8日13:30》不能回看：回看地址模板中有未知的占位符 {foo}", "?utc={foo}"},
      {"one older than the catch-up days", 1, "8日09:30", 1, "",
       "《8日09:30》不能回看：超出 1 天的回看"},
      {"one still to come", 2, "9日20:30", 2, "", "《9日20:30》尚未开始"},
      {"after a change of station", -1, "9日08:30", 2, "", "已换台，节目单已更新"},
  };
  for (const Case& c : cases) {
    Guide g;
    g.tags.catchupDays = c.catchupDays;
    g.tags.catchupSource = c.catchupSource;
    g.open();
    g.view.chooseDay(c.day < 0 ? 2 : c.day);
    const int row = g.view.rowTitled(c.title);
    ASSERT_GE(row, 0) << c.what;
    if (c.day < 0)
      showStationRow(g.h.c, 1);
    else
      EXPECT_EQ(g.view.rows[row].playable, !c.played.empty()) << c.what;
    g.h.log.clear();
    g.view.doubleClick(row);
    const std::vector<std::string> played = g.h.addressesGivenTo("wmp.URL");
    EXPECT_EQ(played.empty() ? "" : played.back(), c.played) << c.what;
    EXPECT_EQ(g.view.status, c.status) << c.what;
  }
}

TEST(GuideWindow, TheLogoIsFetchedOnceAndShownWhenItComes) {
  for (const std::string logo : {"http://logo/jia.png", ""}) {
    Guide g;
    g.tags.tvgLogo = logo;
    const std::string fetched = logo.empty() ? g.channel.icon : logo;
    g.open();
    g.reader.logoReady.raise("http://logo/other.png", "/cache/other.png");
    EXPECT_EQ(g.view.logo, "");
    g.reader.logoReady.raise(fetched, "/cache/logo.png");
    EXPECT_EQ(g.view.logo, "/cache/logo.png");
    g.view.close();
    g.open();
    g.h.c.tvm.userContextAction("节目单");
    EXPECT_EQ(g.reader.logos, std::vector<std::string>{fetched});
    EXPECT_EQ(g.view.logo, "/cache/logo.png");
  }
}

}  // namespace
}  // namespace zelvo::test
