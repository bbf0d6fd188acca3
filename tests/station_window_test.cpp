// The station window of the window on fakes, wired as the program wires it: the groups it
// builds from the station list, the lists beside it and the result files, how typing narrows
// them, what Enter plays, and the favourites it writes or cannot write.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>

#include "fakes/WindowHarness.h"
#include "window/StationWindow.h"

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::HasSubstr;

namespace zelvo::test {
namespace {

// Results before the library, as the window loads them; 湖南卫视 is a favourite that is no
// longer listed, 央视体育 one that is; 浙江卫视 played last.
struct Stations {
  WindowHarness h;
  FakeStationView& view = h.stationView;

  Stations() {
    h.writeFile("tv_lib_ss_jg.txt", {"扫描台,http://scan/1,"});
    h.writeFile("tv_lib_ss_www.txt", {"网上台,http://web/1,"});
    h.writeFile("tv_lib.txt",
                {"浙江卫视,http://live/zj,-999,假,假", "CCTV-5 体育,http://live/c5,-999,假,假",
                 "央视体育,http://live/ys,-999,假,假", "end"});
    h.writeFile(kFavouritesFile, {"央视体育,http://live/ys", "湖南卫视,http://live/hn"});
    h.writeFile(kRecentFile, {"浙江卫视,http://live/zj"});
  }
  void start() {
    h.window->StartUp();
    h.c.form1.userShortcut(kStationWindowKeys);
  }
};

TEST(StationWindow, BuildsTheGroupsAndNarrowsThemAsTheUserTypes) {
  Stations t;
  t.start();
  ASSERT_TRUE(t.view.shown);
  const std::vector<std::string> listed = t.h.rows();
  struct Case {
    std::string text;
    std::vector<std::string> tree;
    std::string status;
  };
  const std::vector<Case> cases = {
      {"",
       {"收藏: 央视体育, 湖南卫视", "最近: 浙江卫视", "搜索结果: 扫描台, 网上台",
        "未分组: 浙江卫视, CCTV-5 体育, 央视体育"},
       "共 6 个频道"},
      {"体育", {"收藏: 央视体育", "未分组: CCTV-5 体育, 央视体育"}, "找到 2 个频道"},
      {"cctv5", {"未分组: CCTV-5 体育"}, "找到 1 个频道"},
      {"台", {"搜索结果: 扫描台, 网上台"}, "找到 2 个频道"},
      {"无此台", {}, "没有找到相符的频道"},
      {std::string(200, 'x'), {}, "没有找到相符的频道"},
      {"\x01\x02", {}, "没有找到相符的频道"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    t.view.type(c.text);
    EXPECT_THAT(t.view.tree(), ElementsAreArray(c.tree));
    EXPECT_EQ(t.view.status, c.status);
  }
  // Only the favourites, in full, can be dragged; the list itself stays as it was.
  t.view.type("");
  EXPECT_TRUE(t.view.groups[0].reorderable);
  EXPECT_FALSE(t.view.groups[1].reorderable);
  EXPECT_EQ(t.h.rows(), listed);
}

TEST(StationWindow, EnterAndADoubleClickPlayThroughTheOrdinaryChoice) {
  struct Case {
    std::string how;
    std::string text;
    std::string played;  // "" when nothing plays
  };
  const std::vector<Case> cases = {
      {"enter", "体育", "http://live/ys"},  // the favourite comes first
      {"double-click", "CCTV-5", "http://live/c5"},
      {"double-click", "湖南", ""},  // not in the list: said so, nothing else plays
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.how + " " + c.text);
    Stations t;
    t.start();
    t.h.log.clear();
    t.view.type(c.text);
    if (c.how == "enter")
      t.view.searchAccepted.raise();
    else
      t.view.stationActivated.raise(0, 0);
    if (c.played.empty()) {
      EXPECT_TRUE(t.h.addressesGivenTo("wmp.URL").empty());
      EXPECT_THAT(t.view.status, HasSubstr("不在频道列表中"));
      continue;
    }
    EXPECT_THAT(t.h.addressesGivenTo("wmp.URL"), ElementsAre(c.played));
    const int row = t.h.c.tvm.selectedIndex();
    EXPECT_EQ(t.h.c.dz1.row(row), c.played);
    EXPECT_EQ(t.h.c.dz1.text(), c.played);
    EXPECT_EQ(t.h.window->recent().stations().front().address, c.played);
    t.h.loop.advance(300);  // the recent list changed: the tree follows
    t.view.type("");
    EXPECT_EQ(t.view.tree()[1].rfind("最近: " + t.h.c.tvm.text(), 0), 0u) << t.view.tree()[1];
  }
}

TEST(StationWindow, FavouritesAreToggledMovedAndWrittenAtOnce) {
  Stations t;
  t.start();
  auto [group, row] = t.view.find("未分组", "浙江卫视");
  t.view.favouriteToggled.raise(group, row);
  EXPECT_EQ(t.view.tree()[0], "收藏: 央视体育, 湖南卫视, 浙江卫视");
  EXPECT_THAT(
      t.h.readFile(kFavouritesFile),
      ElementsAre("央视体育,http://live/ys", "湖南卫视,http://live/hn", "浙江卫视,http://live/zj"));
  t.view.favouriteMoved.raise(2, 0);
  EXPECT_EQ(t.view.tree()[0], "收藏: 浙江卫视, 央视体育, 湖南卫视");
  std::tie(group, row) = t.view.find("收藏", "湖南卫视");
  t.view.favouriteToggled.raise(group, row);
  EXPECT_EQ(t.view.tree()[0], "收藏: 浙江卫视, 央视体育");
  EXPECT_TRUE(t.h.messages.shown.empty());
  // While narrowed the favourites cannot be dragged.
  t.view.type("zj");
  t.view.favouriteMoved.raise(0, 1);
  EXPECT_THAT(t.h.readFile(kFavouritesFile),
              ElementsAre("浙江卫视,http://live/zj", "央视体育,http://live/ys"));
}

TEST(StationWindow, ABrokenOrUnwritableFavouritesFileIsShownAndLosesNothing) {
  struct Case {
    std::string name;
    std::vector<std::string> file;
    bool unwritable;
  };
  const std::vector<Case> cases = {
      {"broken line", {"央视体育,http://live/ys", "no comma here"}, false},
      {"unwritable", {"央视体育,http://live/ys"}, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Stations t;
    t.h.writeFile(kFavouritesFile, c.file);
    t.start();
    EXPECT_EQ(t.view.tree()[0], "收藏: 央视体育");
    if (c.unwritable)
      t.h.files.failOn(FileOperation::Create);
    else
      EXPECT_THAT(t.view.status, HasSubstr(t.h.window->favouritesProblem()));
    auto [group, row] = t.view.find("未分组", "浙江卫视");
    t.view.favouriteToggled.raise(group, row);
    // The choice stays for the session, and the user is told it did not stick.
    EXPECT_EQ(t.view.tree()[0], "收藏: 央视体育, 浙江卫视");
    ASSERT_EQ(t.h.messages.shown.size(), c.unwritable ? 1u : 0u);
    if (c.unwritable) {
      EXPECT_EQ(t.view.status.substr(0, t.h.messages.shown[0].text.size()),
                t.h.messages.shown[0].text);
      EXPECT_EQ(t.h.readFile(kFavouritesFile), c.file);
    } else {
      EXPECT_EQ(t.h.readFile(kFavouritesFile).size(), 3u);
      EXPECT_EQ(t.h.readFile(kFavouritesFile).back(), "no comma here");
    }
  }
}

TEST(StationWindow, FollowsTheListWhileShownAndKeepsItsPlaceAcrossSessions) {
  Stations t;
  t.start();
  t.view.where = {40, 50, 400, 600};
  // A playlist's station in two of its groups.
  t.h.window->OpenStationGroups({{{"新台", "http://live/new", "体育;新闻", {}}}});
  t.h.loop.advance(300);
  EXPECT_THAT(t.view.tree(), ElementsAre("收藏: 央视体育, 湖南卫视", "最近: 新台, 浙江卫视",
                                         "体育: 新台", "新闻: 新台", "搜索结果: 扫描台, 网上台",
                                         "未分组: 浙江卫视, CCTV-5 体育, 央视体育"));
  t.view.close();
  // Hidden, it makes the groups ready once the list has been still for two seconds, for the
  // next F3, without showing itself.
  t.h.window->OpenStationGroups({{{"后台", "http://live/later", "新闻", {}}}});
  t.h.loop.advance(1000);
  t.h.window->OpenStationGroups({{{"又台", "http://live/again", "新闻", {}}}});
  t.h.loop.advance(1000);
  EXPECT_EQ(t.view.tree()[3], "新闻: 新台");
  t.h.loop.advance(2000);
  EXPECT_EQ(t.view.tree()[3], "新闻: 新台, 后台, 又台");
  EXPECT_FALSE(t.view.shown);

  WindowHarness next;
  std::filesystem::copy_file(t.h.path(kStationWindowFile), next.path(kStationWindowFile));
  next.c.form1.userShortcut(kStationWindowKeys);
  EXPECT_EQ(next.stationView.where, (WindowPlace{40, 50, 400, 600}));
  EXPECT_EQ(next.stationView.status, "列表中没有频道");
}

}  // namespace
}  // namespace zelvo::test
