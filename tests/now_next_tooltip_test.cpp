// The tooltip of tvm tells the current station's programme now and next: after the guide is
// read, as the station changes and as programmes end; without a guide it stays the window's.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>

#include "fakes/WindowHarness.h"
#include "guide/GuideFiles.h"
#include "support/TimeZone.h"

using ::testing::ElementsAre;
using ::testing::UnorderedElementsAre;

namespace zelvo::test {
namespace {

// 2024-03-01 21:00 in Beijing.
constexpr int64_t kBase = 1709298000;

class NowNextTooltipTest : public ::testing::Test {
 protected:
  NowNextTooltipTest() { h.clock.set(kBase); }
  TimeZone beijing{"CST-8"};
  WindowHarness h;
  FakeGuideReader& reader = h.guideReader;
};

GuideReport guideOf(std::vector<GuideChannel> channels) {
  GuideReport report;
  report.channels = std::move(channels);
  report.sourcesRead = 1;
  return report;
}

TEST_F(NowNextTooltipTest, FollowsTheStationTheGuideAndTheProgrammesEnd) {
  h.writeFile("tv_lib.txt", {"新闻台,http://a/1,-999,假,假", "B台,http://b/1,-999,假,假",
                             "无节目,http://c/1,-999,假,假", "end"});
  h.writeFile(kGuideMapFile, {"新闻台\thttp://a/1\ta.id\t\t\t\t\t"});
  h.writeFile(kUserGuidesFile, {"http://g/guide.xml"});
  h.c.tvm.setToolTip("窗口自己的");
  h.window->StartUp();

  ASSERT_EQ(reader.requests.size(), 1u);
  const GuideRequest& asked = reader.requests[0];
  EXPECT_THAT(asked.sources, ElementsAre("http://g/guide.xml"));
  EXPECT_THAT(asked.wanted.ids, ElementsAre("a.id"));
  EXPECT_THAT(asked.wanted.names, UnorderedElementsAre("新闻台", "b台", "无节目"));
  EXPECT_EQ(asked.keepFrom, kBase - 86400);
  EXPECT_EQ(asked.keepUntil, kBase + 8 * 86400);
  EXPECT_EQ(asked.now, kBase);  // the cached copies' age, on the window's clock

  const GuideReport guide = guideOf({
      {"a.id",
       {"Other name"},
       "",
       {{kBase - 600, kBase + 1200, "新闻联播", ""}, {kBase + 1200, kBase + 3000, "天气预报", ""}}},
      {"b.id", {"B台"}, "", {{kBase + 1800, kBase + 3000, "电影", ""}}},
  });
  struct Step {
    const char* what;
    std::function<void()> act;
    const char* tooltip;
    int wakeMs;  // when the tooltip is looked at again; 0: not at all
  };
  const Step steps[] = {
      {"before the guide is read", [] {}, "窗口自己的", 0},
      {"the guide arrives", [&] { reader.finish(guide); },
       "正在播出 20:50–21:20 新闻联播\n下一个 21:20–21:50 天气预报", 1200 * 1000},
      {"the running programme ends", [&] { h.loop.advance(1200 * 1000); },
       "正在播出 21:20–21:50 天气预报", 1800 * 1000},
      {"another station, in a gap", [&] { h.c.tvm.userChoseRow(1); }, "下一个 21:30–21:50 电影",
       600 * 1000},
      {"the next programme begins", [&] { h.loop.advance(600 * 1000); },
       "正在播出 21:30–21:50 电影", 1200 * 1000},
      {"a station without a guide", [&] { h.c.tvm.userChoseRow(2); }, "窗口自己的", 0},
      {"a station chosen by its address", [&] { h.c.dz1.userChoseRow(0); },
       "正在播出 21:20–21:50 天气预报", 1200 * 1000},
      {"a read that gave nothing keeps the guide", [&] { reader.finish(GuideReport{}); },
       "正在播出 21:20–21:50 天气预报", 1200 * 1000},
      {"the last programme ends", [&] { h.loop.advance(1200 * 1000); }, "窗口自己的", 0},
  };
  for (const Step& step : steps) {
    step.act();
    EXPECT_EQ(h.c.tvm.toolTip(), step.tooltip) << step.what;
    const Timer& timer = h.window->guideTimer();
    EXPECT_EQ(timer.enabled() ? timer.interval() : 0, step.wakeMs) << step.what;
  }
}

TEST_F(NowNextTooltipTest, OpenedPlaylistsAddTheirGuidesAndTagsForTheSession) {
  // What the file says of the same station gives way to the playlist opened now.
  h.writeFile(kGuideMapFile, {"D\thttp://d/1\tfile.id\t\t\t\t\t"});
  const std::string map = fileBytes(h.path(kGuideMapFile));
  h.window->StartUp();
  EXPECT_TRUE(reader.requests.empty());  // no guide is known yet

  PlaylistEntry tagged{"D", "http://d/1", "", {}};
  tagged.guide.tvgId = "d.id";
  tagged.guide.catchup = "shift";
  tagged.guide.catchupDays = 3;
  h.window->OpenStationGroups({{tagged}}, {"http://g/list.xml"});
  ASSERT_EQ(reader.requests.size(), 1u);
  EXPECT_THAT(reader.requests[0].sources, ElementsAre("http://g/list.xml"));
  EXPECT_THAT(reader.requests[0].wanted.ids, ElementsAre("d.id"));
  EXPECT_EQ(reader.requests[0].keepFrom, kBase - 3 * 86400);
  EXPECT_EQ(h.window->guide().tagsFor("D", "http://d/1").catchup, "shift");
  EXPECT_EQ(fileBytes(h.path(kGuideMapFile)), map);  // the session's tags are no file's

  reader.finish(guideOf({{"d.id", {}, "", {{kBase, kBase + 60, "短片", ""}}}}));
  EXPECT_EQ(h.c.tvm.toolTip(), "正在播出 21:00–21:01 短片");
}

}  // namespace
}  // namespace zelvo::test
