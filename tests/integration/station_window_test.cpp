// The station window "频道表" of the real window, under a private X server: F3 opens it with the
// focus in the search box, pinyin initials narrow the tree, Enter plays the first match from the
// loopback server through the station selector, Ctrl+D makes it a favourite, and after a restart
// of the window, opened from tvm's context menu, the favourite is under "收藏". The tree's
// context menu adds and removes favourites, and a drag with the mouse reorders them.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QTreeView>
#include <algorithm>
#include <memory>

#include "library/FavouriteStations.h"
#include "library/StationFiles.h"
#include "platform/qt/QtFormView.h"
#include "platform/qt/QtStationView.h"
#include "program/Composition.h"
#include "support/Clips.h"
#include "support/GbkFiles.h"
#include "support/IntegrationMain.h"
#include "support/LoopbackHttpServer.h"
#include "support/PointerInput.h"
#include "support/QuietComponents.h"
#include "support/TempFolder.h"
#include "support/XClient.h"
#include "support/XvfbServer.h"

namespace zelvo::test {
namespace {

struct StationWindowRun {
  TempFolder media;
  std::string clip = makeClip(media.path(), 4);
  LoopbackHttpServer server{media.path()};
  TempFolder app;
  std::unique_ptr<ZelvoApplication> zelvo;

  StationWindowRun() {
    writeGbkLines(app.file(kLibraryFile),
                  {"CCTV-5 体育," + server.url(clip) + "?c5,-999,假,假",
                   "浙江卫视," + server.url(clip) + "?zj,-999,假,假",
                   "浙江经视," + server.url(clip) + "?zjjs,-999,假,假", "end"});
  }
  void start() {
    zelvo = std::make_unique<ZelvoApplication>(app.path(), quietComponents(10000));
    zelvo->start();
    QWidget* window = zelvo->view().window();
    window->activateWindow();
    waitUntil([&] { return QApplication::activeWindow() == window; }, 5000);
  }
  QtStationView& view() { return zelvo->stationView(); }
  // The titles of the tree's groups and the names under them, as the user reads them.
  std::vector<std::string> tree() {
    std::vector<std::string> lines;
    QAbstractItemModel* model = view().tree()->model();
    for (int g = 0; g < model->rowCount(); ++g) {
      const QModelIndex group = model->index(g, 0);
      std::string line = group.data().toString().toStdString() + ":";
      for (int r = 0; r < model->rowCount(group); ++r)
        line += " " + model->index(r, 0, group).data().toString().toStdString();
      lines.push_back(line);
    }
    return lines;
  }
  // The middle of the station's row in the group, in the station window.
  QPoint rowOf(const std::string& group, const std::string& name) {
    QTreeView* tree = view().tree();
    QAbstractItemModel* model = tree->model();
    for (int g = 0; g < model->rowCount(); ++g) {
      const QModelIndex groupIndex = model->index(g, 0);
      if (groupIndex.data().toString().toStdString() != group) continue;
      for (int r = 0; r < model->rowCount(groupIndex); ++r) {
        const QModelIndex station = model->index(r, 0, groupIndex);
        if (station.data().toString().toStdString() == name)
          return tree->viewport()->mapTo(&view(), tree->visualRect(station).center());
      }
    }
    ADD_FAILURE() << name << " is not under " << group;
    return {};
  }
  std::string favourites() { return readGbkText(app.file(kFavouritesFile)); }
  std::string favourite(const std::string& name, const std::string& tag) {
    return name + "," + server.url(clip) + "?" + tag + "\r\n";
  }
  void press(int key, Qt::KeyboardModifiers modifiers = {}) {
    QWidget* focus = QApplication::focusWidget();
    QTest::keyClick(focus ? focus : zelvo->view().window(), static_cast<Qt::Key>(key), modifiers);
  }
};

TEST(StationWindowEndToEnd, InitialsFindAStationEnterPlaysItAndItsFavouriteSurvivesARestart) {
  StationWindowRun run;
  run.start();
  ASSERT_FALSE(run.view().isVisible());
  run.press(Qt::Key_F3);
  ASSERT_TRUE(waitUntil([&] { return run.view().isVisible(); }, 3000));
  EXPECT_EQ(run.view().windowTitle(), "频道表");
  ASSERT_TRUE(waitUntil([&] { return run.view().searchBox()->hasFocus(); }, 3000));

  QTest::keyClicks(QApplication::focusWidget(), "zjws");
  EXPECT_EQ(run.tree(), (std::vector<std::string>{"未分组: 浙江卫视"}));
  EXPECT_EQ(run.view().status()->text().toStdString(), "找到 1 个频道");

  run.press(Qt::Key_Return);
  const std::string target = "/" + run.clip + "?zj";
  EXPECT_TRUE(waitUntil(
      [&] {
        const std::vector<std::string> seen = run.server.requestedTargets();
        return std::find(seen.begin(), seen.end(), target) != seen.end();
      },
      10000))
      << run.view().status()->text().toStdString();
  FormControls& c = run.zelvo->window().controls();
  EXPECT_EQ(c.tvm.text(), "浙江卫视");
  auto* tvm = static_cast<QComboBox*>(run.zelvo->view().widgetOf(c.tvm));
  EXPECT_EQ(tvm->lineEdit()->text().toStdString(), "浙江卫视");

  run.press(Qt::Key_D, Qt::ControlModifier);
  ASSERT_TRUE(waitUntil([&] { return run.tree().front() == "收藏: 浙江卫视"; }, 3000))
      << run.tree().front();
  EXPECT_EQ(readGbkLines(run.app.file(kFavouritesFile)),
            (std::vector<std::string>{"浙江卫视," + run.server.url(run.clip) + "?zj"}));

  // A new session in the same folder, the window opened from tvm's context menu: the favourite
  // is under "收藏", the window where it was.
  run.view().move(60, 70);
  run.view().close();
  run.zelvo.reset();
  run.start();
  // Left alone, the hidden window makes its groups ready for its next opening.
  EXPECT_TRUE(waitUntil([&] { return !run.tree().empty(); }, 6000));
  EXPECT_FALSE(run.view().isVisible());
  XClient x(privateXServer().display());
  QWidget* window = run.zelvo->view().window();
  QLineEdit* edit =
      static_cast<QComboBox*>(run.zelvo->view().widgetOf(run.zelvo->window().controls().tvm))
          ->lineEdit();
  const std::vector<std::string> tvmMenu =
      rightClickMenu(x, window, edit->mapTo(window, edit->rect().center()), "频道表");
  EXPECT_EQ(
      std::vector<std::string>(tvmMenu.end() - std::min<size_t>(tvmMenu.size(), 2), tvmMenu.end()),
      (std::vector<std::string>{"上一个", "频道表"}));
  ASSERT_TRUE(waitUntil([&] { return run.view().isVisible(); }, 3000));
  EXPECT_EQ(run.tree().front(), "收藏: 浙江卫视");
  EXPECT_EQ(run.view().pos(), QPoint(60, 70));
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&run.view()));

  // The tree's context menu on a station offers what it does to it, and does it.
  const auto menuOn = [&](const std::string& group, const std::string& name,
                          const std::string& choose) {
    return rightClickMenu(x, &run.view(), run.rowOf(group, name), choose);
  };
  const auto treeStarts = [&](const std::string& line) {
    return waitUntil([&] { return run.tree().front() == line; }, 3000);
  };
  using Entries = std::vector<std::string>;
  EXPECT_EQ(menuOn("未分组", "CCTV-5 体育", "加入收藏"), Entries{"加入收藏"});
  EXPECT_TRUE(treeStarts("收藏: 浙江卫视 CCTV-5 体育")) << run.tree().front();
  EXPECT_EQ(menuOn("未分组", "浙江经视", "加入收藏"), Entries{"加入收藏"});
  EXPECT_TRUE(treeStarts("收藏: 浙江卫视 CCTV-5 体育 浙江经视")) << run.tree().front();
  EXPECT_EQ(menuOn("未分组", "CCTV-5 体育", ""), Entries{"取消收藏"});

  // The third favourite dragged onto the first takes its place, in the tree and in the file.
  dragWithMouse(x, &run.view(), run.rowOf("收藏", "浙江经视"), run.rowOf("收藏", "浙江卫视"));
  EXPECT_TRUE(treeStarts("收藏: 浙江经视 浙江卫视 CCTV-5 体育")) << run.tree().front();
  EXPECT_EQ(run.favourites(), run.favourite("浙江经视", "zjjs") + run.favourite("浙江卫视", "zj") +
                                  run.favourite("CCTV-5 体育", "c5"));

  EXPECT_EQ(menuOn("收藏", "浙江卫视", "取消收藏"), Entries{"取消收藏"});
  EXPECT_TRUE(treeStarts("收藏: 浙江经视 CCTV-5 体育")) << run.tree().front();
  EXPECT_EQ(run.favourites(),
            run.favourite("浙江经视", "zjjs") + run.favourite("CCTV-5 体育", "c5"));
  EXPECT_EQ(menuOn("未分组", "浙江卫视", ""), Entries{"加入收藏"});

  // A menu held open while another station starts, and the tree is rebuilt under it, still acts
  // on the station it was opened on.
  rightClickMenu(x, &run.view(), run.rowOf("最近", "浙江卫视"), "加入收藏", [&] {
    run.zelvo->window().selectors().ChooseStation(
        {"CCTV-5 体育", run.server.url(run.clip) + "?c5"});
    EXPECT_TRUE(waitUntil([&] { return run.tree().at(1) == "最近: CCTV-5 体育 浙江卫视"; }, 3000))
        << run.tree().at(1);
  });
  EXPECT_TRUE(treeStarts("收藏: 浙江经视 CCTV-5 体育 浙江卫视")) << run.tree().front();
  EXPECT_EQ(run.favourites(), run.favourite("浙江经视", "zjjs") +
                                  run.favourite("CCTV-5 体育", "c5") +
                                  run.favourite("浙江卫视", "zj"));
}

}  // namespace
}  // namespace zelvo::test

int main(int argc, char** argv) { return zelvo::test::runIntegrationTestsOnXvfb(argc, argv); }
