// The guide window on fakes: the days it offers, the day's rows with the running one, what a
// double-click plays through the window's players, and the logo fetched once.
#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>

#include "fakes/FakeGuideView.h"
#include "fakes/WindowHarness.h"
#include "guide/GuideWindow.h"
#include "library/StationList.h"

namespace zelvo::test {
namespace {

constexpr int64_t kHour = 3600;
constexpr int64_t kDay = 24 * kHour;
constexpr int64_t kDec9 = 1796745600;  // 2026-12-09 00:00 in UTC+8, a Wednesday

// Local days are those of UTC+8 while a test runs.
class FixedZone {
 public:
  FixedZone() {
    if (const char* tz = std::getenv("TZ")) saved_ = tz;
    setenv("TZ", "CST-8", 1);
    tzset();
  }
  ~FixedZone() {
    if (saved_.empty())
      unsetenv("TZ");
    else
      setenv("TZ", saved_.c_str(), 1);
    tzset();
  }

 private:
  std::string saved_;
};

class LogoReader : public GuideReader {
 public:
  void read(const GuideRequest&) override {}
  void cancel() override {}
  void fetchLogo(const std::string& address) override { fetched.push_back(address); }
  std::vector<std::string> fetched;
};

// Hour-long programmes from 23:30 on 7 December to 23:30 on 10 December, titled by day and
// hour of their start: "8日23:30" begins the evening of the 8th and runs into the 9th.
GuideChannel hourlyChannel() {
  GuideChannel channel;
  channel.id = "jia.cn";
  channel.icon = "http://logo/icon.png";
  for (int64_t start = kDec9 - kDay - 30 * 60; start < kDec9 + 2 * kDay - 30 * 60; start += kHour) {
    const std::time_t t = static_cast<std::time_t>(start);
    std::tm local{};
    localtime_r(&t, &local);
    char title[32];
    std::snprintf(title, sizeof title, "%d日%02d:%02d", local.tm_mday, local.tm_hour, local.tm_min);
    channel.programmes.push_back({start, start + kHour, title, ""});
  }
  return channel;
}

struct Guide {
  FixedZone zone;
  WindowHarness h;
  FakeGuideView view;
  LogoReader reader;
  PlaybackControl playback{h.window->playback(), h.window->expansion()};
  GuideWindow guide{{h.c, h.s, h.services}, playback, view};
  GuideChannel channel = hourlyChannel();
  bool matched = true;
  GuideTags tags;
  int64_t now = kDec9 + 10 * kHour + 45 * 60;  // 10:45 on the 9th
  std::vector<std::string> asked;              // the programmes the catch-up builder was asked for

  Guide() {
    addStationRow(h.c, "甲台", "http://live/jia", 0);
    addStationRow(h.c, "乙台", "http://live/yi", 1);
    showStationRow(h.c, 0);
    tags.catchupDays = 2;
    guide.setClock([this] { return now; });
    guide.setLookup([this](const std::string& name, const std::string& address) {
      StationGuide found;
      if (name == "甲台" && address == "http://live/jia" && matched) found.channel = &channel;
      found.tags = tags;
      return found;
    });
    guide.setCatchup([this](const GuideStation& station, const Programme& p,
                            std::string& why) -> std::optional<std::string> {
      asked.push_back(p.title);
      if (p.title.find("13:30") != std::string::npos) {
        why = "未知的占位符 {foo}";
        return std::nullopt;
      }
      return station.address + "?utc=" + std::to_string(p.start);
    });
    guide.attachReader(reader);
    guide.connect();
    h.loop.attach(guide.refreshTimer());
  }
  void open() { h.c.form1.userShortcut("F2"); }
};

// What the window shows, in short: "first day..last day [chosen day] rows: first row, the
// running one, status".
std::string summary(const FakeGuideView& view) {
  std::string text;
  if (!view.days.empty()) {
    text = view.days.front() + ".." + view.days.back() + " [" +
           (view.chosen >= 0 ? view.days[view.chosen] : std::string("-")) + "] ";
  }
  text += std::to_string(view.rows.size()) + ":";
  if (!view.rows.empty()) text += " " + view.rows.front().title;
  for (const GuideRow& row : view.rows)
    if (row.running) text += " *" + row.title;
  return view.status.empty() ? text : text + " " + view.status;
}

TEST(GuideWindow, OffersTheGuidesDaysAndTheCatchupDaysWithTodaysRowsAndTheRunningOne) {
  const auto open = [](Guide& g) { g.open(); };
  struct Case {
    const char* what;
    std::function<void(Guide&)> act;
    std::string shown;
  } cases[] = {
      {"the guide's days, today chosen", open,
       "12月7日 周一..12月10日 周四 [12月9日 周三 今天] 25: 8日23:30 *9日10:30"},
      {"five catch-up days reach before the guide",
       [&](Guide& g) {
         g.tags.catchupDays = 5;
         open(g);
       },
       "12月4日 周五..12月10日 周四 [12月9日 周三 今天] 25: 8日23:30 *9日10:30"},
      {"from the context menu, on a day of the guide's past",
       [](Guide& g) {
         g.h.c.tvm.userContextAction("节目单");
         g.view.chooseDay(1);
       },
       "12月7日 周一..12月10日 周四 [12月8日 周二] 25: 7日23:30"},
      {"a day the catch-up reaches but the guide does not hold",
       [&](Guide& g) {
         g.tags.catchupDays = 3;
         open(g);
         g.view.chooseDay(0);
       },
       "12月6日 周日..12月10日 周四 [12月6日 周日] 0: 这一天没有节目"},
      {"an hour later the running row follows",
       [&](Guide& g) {
         open(g);
         g.now += kHour;
         g.h.loop.advance(30000);
       },
       "12月7日 周一..12月10日 周四 [12月9日 周三 今天] 25: 8日23:30 *9日11:30"},
      {"a station the guide does not know",
       [&](Guide& g) {
         g.matched = false;
         open(g);
       },
       "0: 没有节目信息"},
      {"the window follows a change of station",
       [&](Guide& g) {
         open(g);
         showStationRow(g.h.c, 1);
         g.h.loop.advance(30000);
       },
       "0: 没有节目信息"},
      {"other shortcuts open nothing", [](Guide& g) { g.h.c.form1.userShortcut("Ctrl+R"); }, "0:"},
  };
  for (const Case& c : cases) {
    Guide g;
    c.act(g);
    EXPECT_EQ(summary(g.view), c.shown) << c.what;
    EXPECT_EQ(g.view.shown, c.shown != "0:") << c.what;
  }
}

TEST(GuideWindow, ADoubleClickPlaysThePastWithCatchupAndTheRunningLive) {
  struct Case {
    const char* what;
    int day;  // the chooser's index: 2 is today
    std::string title;
    int catchupDays;
    std::string played;  // the address the primary player is given, "" for none
    std::string status;
    bool playable;
  } cases[] = {
      {"the running programme", 2, "9日10:30", 2, "http://live/jia", "直播：甲台", true},
      {"a past one with catch-up", 2, "9日08:30", 2,
       "http://live/jia?utc=" + std::to_string(kDec9 + 8 * kHour + 30 * 60), "回看：08:30 9日08:30",
       true},
      {"yesterday's, within the catch-up days", 1, "8日20:30", 2,
       "http://live/jia?utc=" + std::to_string(kDec9 - 3 * kHour - 30 * 60), "回看：20:30 8日20:30",
       true},
      {"one the catch-up cannot build", 1, "8日13:30", 2, "",
       "《8日13:30》不能回看：未知的占位符 {foo}", false},
      {"one older than the catch-up days", 1, "8日09:30", 1, "",
       "《8日09:30》不能回看：超出 1 天的回看", false},
      {"one still to come", 2, "9日20:30", 2, "", "《9日20:30》尚未开始", false},
  };
  for (const Case& c : cases) {
    Guide g;
    g.tags.catchupDays = c.catchupDays;
    g.open();
    g.view.chooseDay(c.day);
    SCOPED_TRACE(c.what);
    const int row = g.view.rowTitled(c.title);
    ASSERT_GE(row, 0);
    EXPECT_EQ(g.view.rows[row].playable, c.playable);
    g.h.log.clear();
    g.view.doubleClick(row);
    const std::vector<std::string> played = g.h.addressesGivenTo("wmp.URL");
    EXPECT_EQ(played,
              c.played.empty() ? std::vector<std::string>{} : std::vector<std::string>{c.played});
    EXPECT_EQ(g.view.status, c.status);
  }
}

TEST(GuideWindow, AListOfAStationThatNoLongerPlaysIsShownAgainInsteadOfPlayed) {
  Guide g;
  g.open();
  const int row = g.view.rowTitled("9日08:30");
  showStationRow(g.h.c, 1);
  g.h.log.clear();
  g.view.doubleClick(row);
  EXPECT_TRUE(g.h.addressesGivenTo("wmp.URL").empty());
  EXPECT_EQ(g.view.title, "节目单 - 乙台");
  EXPECT_TRUE(g.view.rows.empty());
}

TEST(GuideWindow, TheLogoIsFetchedOnceAndShownWhenItComes) {
  struct Case {
    const char* what;
    std::string tvgLogo;
    std::string fetched;
  } cases[] = {
      {"the playlist's logo", "http://logo/jia.png", "http://logo/jia.png"},
      {"the guide's icon where the playlist gives none", "", "http://logo/icon.png"},
  };
  for (const Case& c : cases) {
    Guide g;
    g.tags.tvgLogo = c.tvgLogo;
    SCOPED_TRACE(c.what);
    g.open();
    EXPECT_EQ(g.view.logo, "");
    g.reader.logoReady.raise("http://logo/other.png", "/cache/other.png");
    EXPECT_EQ(g.view.logo, "");
    g.reader.logoReady.raise(c.fetched, "/cache/logo.png");
    EXPECT_EQ(g.view.logo, "/cache/logo.png");
    g.view.close();
    g.open();
    g.h.c.tvm.userContextAction("节目单");
    EXPECT_EQ(g.reader.fetched, std::vector<std::string>{c.fetched});
    EXPECT_EQ(g.view.logo, "/cache/logo.png");
  }
}

}  // namespace
}  // namespace zelvo::test
