// The station window "频道表" of the real window, offscreen: F3 opens it with the focus in the
// search box, pinyin initials narrow the tree, Enter plays the first match from the loopback
// server through the station selector, Ctrl+D makes it a favourite, and after a restart of the
// window the favourite is under "收藏".
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
#include "support/QuietComponents.h"
#include "support/TempFolder.h"

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

  // A new session in the same folder: the favourite is under "收藏", the window where it was.
  run.view().move(60, 70);
  run.view().close();
  run.zelvo.reset();
  run.start();
  run.press(Qt::Key_F3);
  ASSERT_TRUE(waitUntil([&] { return run.view().isVisible(); }, 3000));
  EXPECT_EQ(run.tree().front(), "收藏: 浙江卫视");
  EXPECT_EQ(run.view().pos(), QPoint(60, 70));
}

}  // namespace
}  // namespace zelvo::test

int main(int argc, char** argv) { return zelvo::test::runIntegrationTests(argc, argv); }
