// The station selectors and the editing buttons of the real window, driven offscreen with mouse
// and keys: after every step both drop-down lists show exactly their model's text and row, and
// the loopback server sees the address that the step plays.
#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTimer>
#include <QWindow>
#include <QtTest/QTest>
#include <filesystem>
#include <fstream>
#include <optional>

#include "platform/qt/QtFormView.h"
#include "program/Composition.h"
#include "support/Clips.h"
#include "support/IntegrationMain.h"
#include "support/LoopbackHttpServer.h"
#include "support/QuietComponents.h"
#include "support/TempFolder.h"

namespace zelvo::test {
namespace {

class SelectorWindow {
 public:
  SelectorWindow(const std::string& appFolder) : zelvo_(appFolder, quietComponents(10000)) {
    zelvo_.start();
    QWidget* window = zelvo_.view().window();
    window->activateWindow();
    waitUntil([&] { return QApplication::activeWindow() == window; }, 5000);
    processEventsFor(100);
  }

  FormControls& c() { return zelvo_.window().controls(); }
  Playback& playback() { return zelvo_.window().playback(); }
  QComboBox* combo(ComboBox& model) {
    return static_cast<QComboBox*>(zelvo_.view().widgetOf(model));
  }

  // Opens the list under the field and clicks a row of it.
  void chooseRow(ComboBox& model, int row) {
    QComboBox* box = combo(model);
    box->showPopup();
    processEventsFor(QApplication::doubleClickInterval() + 50);
    QAbstractItemView* list = box->view();
    const QPoint at = list->visualRect(list->model()->index(row, 0)).center();
    QTest::mouseMove(list->viewport(), at);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
  }

  // Opens the list under the field, moves to a row with the arrow keys and presses Enter, each
  // key given to the window as the keyboard gives it.
  void enterInList(ComboBox& model, int row) {
    QComboBox* box = combo(model);
    box->showPopup();
    processEventsFor(100);
    QWindow* keyboard = zelvo_.view().window()->windowHandle();
    QAbstractItemView* list = box->view();
    while (list->currentIndex().row() != row)
      QTest::keyClick(keyboard, list->currentIndex().row() < row ? Qt::Key_Down : Qt::Key_Up);
    QTest::keyClick(keyboard, Qt::Key_Return);
  }

  // Clicks into the text field, replaces its text by typing, and presses Enter if asked.
  void type(ComboBox& model, const QString& text, bool enter) {
    QLineEdit* edit = combo(model)->lineEdit();
    QTest::mouseClick(edit, Qt::LeftButton);
    QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(edit, text);
    if (enter) QTest::keyClick(edit, Qt::Key_Return);
  }

  void click(Button& button) {
    QTest::mouseClick(static_cast<QPushButton*>(zelvo_.view().widgetOf(button)), Qt::LeftButton);
  }

  // Presses a key on the button that has the focus, where no text field has it.
  void keyOnButton(Button& button, Qt::Key key) {
    QWidget* widget = zelvo_.view().widgetOf(button);
    widget->setFocus();
    processEventsFor(50);
    QTest::keyClick(widget, key);
  }

  // Opens the field's context menu and picks the entry with this caption.
  void chooseFromContextMenu(ComboBox& model, const QString& caption) {
    QLineEdit* field = combo(model)->lineEdit();
    QTimer::singleShot(200, [caption] {
      auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
      if (!menu) return;
      for (QAction* action : menu->actions()) {
        if (action->text() != caption) continue;
        QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(action).center());
        return;
      }
      menu->close();
    });
    const QPoint at = field->rect().center();
    QContextMenuEvent event(QContextMenuEvent::Mouse, at, field->mapToGlobal(at));
    QApplication::sendEvent(field, &event);
  }

  MainWindow& window() { return zelvo_.window(); }

 private:
  ZelvoApplication zelvo_;
};

TEST(SelectorsEndToEnd, EveryChoiceAndEditShowsTheModelAndPlaysItsAddress) {
  TempFolder media;
  const std::string clip = makeClip(media.path(), 30);
  for (const char* name : {"cctv5.wmv", "next.wmv"})
    std::filesystem::copy_file(media.file(clip), media.file(name));
  LoopbackHttpServer server(media.path());
  const std::string cctv5 = server.url("cctv5.wmv");
  const std::string next = server.url("next.wmv");
  const std::string third = server.url("next.wmv?3");
  const std::string added = server.url("cctv5.wmv?4");

  TempFolder app;
  std::optional<SelectorWindow> window;
  {
    std::ofstream library(app.file("tv_lib.txt"), std::ios::binary);
    library << "CCTV5," << cctv5 << ",-999,假,假\r\nNext," << next << ",-999,假,假\r\nThird,"
            << third << ",-999,假,假\r\nend\r\n";
  }
  // Stations are ASCII here, so the file is the same in UTF-8 and GBK but for the flags.
  SelectorWindow& w = window.emplace(app.path());
  FormControls& c = w.c();
  ASSERT_EQ(c.tvm.count(), 3);

  struct Step {
    const char* what;
    std::function<void()> act;
    const char* name;
    std::string address;
    std::string played;  // the target the server sees; empty: nothing new starts
  } steps[] = {
      {"click a name", [&] { w.chooseRow(c.tvm, 2); }, "Third", third, "/next.wmv?3"},
      {"type a name in other letters, Enter", [&] { w.type(c.tvm, "cctv5", true); }, "CCTV5", cctv5,
       "/cctv5.wmv"},
      {"click an address", [&] { w.chooseRow(c.dz1, 1); }, "Next", next, "/next.wmv"},
      {"向下", [&] { w.click(c.Command5); }, "Third", third, "/next.wmv?3"},
      {"向上", [&] { w.click(c.Command4); }, "Next", next, "/next.wmv"},
      {"type a name, Enter", [&] { w.type(c.tvm, "CCTV5", true); }, "CCTV5", cctv5, "/cctv5.wmv"},
      {"type the start of a name, Enter", [&] { w.type(c.tvm, "Ne", true); }, "Ne", cctv5, ""},
      {"type a new station",
       [&] {
         w.type(c.tvm, "Fourth", false);
         w.type(c.dz1, QString::fromStdString(added), false);
       },
       "Fourth", added, ""},
      {"增加", [&] { w.click(c.Command3); }, "Fourth", added, ""},
      // The station played before goes on: its states must leave the added station's address.
      {"暂停", [&] { w.click(c.Command14); }, "Fourth", added, ""},
      {"继续", [&] { w.click(c.Command14); }, "Fourth", added, ""},
      {"播放 the added station", [&] { w.click(c.Command2); }, "Fourth", added, "/cctv5.wmv?4"},
      {"type the second name, Enter", [&] { w.type(c.tvm, "Next", true); }, "Next", next,
       "/next.wmv"},
      {"删除", [&] { w.click(c.Command12); }, "Third", third, ""},
      {"播放", [&] { w.click(c.Command2); }, "Third", third, "/next.wmv?3"},
      {"Enter on a row of the open list", [&] { w.enterInList(c.tvm, 0); }, "CCTV5", cctv5,
       "/cctv5.wmv"},
      // Back to the station chosen before, and from there back again.
      {"Backspace", [&] { w.keyOnButton(c.Command2, Qt::Key_Backspace); }, "Next", next,
       "/next.wmv"},
      {"上一个", [&] { w.chooseFromContextMenu(c.tvm, "上一个"); }, "CCTV5", cctv5, "/cctv5.wmv"},
      {"Backspace in the name field edits it",
       [&] {
         QLineEdit* edit = w.combo(c.tvm)->lineEdit();
         QTest::mouseClick(edit, Qt::LeftButton);
         QTest::keyClick(edit, Qt::Key_End);
         QTest::keyClick(edit, Qt::Key_Backspace);
       },
       "CCTV", cctv5, ""},
      {"Backspace once more", [&] { w.keyOnButton(c.Command2, Qt::Key_Backspace); }, "Next", next,
       "/next.wmv"},
      // A step down is a station played too: Backspace returns to the one stepped from.
      {"向下 again", [&] { w.click(c.Command5); }, "Third", third, "/next.wmv?3"},
      {"Backspace after a step", [&] { w.keyOnButton(c.Command2, Qt::Key_Backspace); }, "Next",
       next, "/next.wmv"},
  };
  std::vector<std::string> started;
  w.playback().starting.connect([&](const std::string& address) {
    if (!address.empty()) started.push_back(address);
  });
  std::string playing;
  for (const Step& step : steps) {
    const size_t before = server.requestedTargets().size();
    started.clear();
    step.act();
    if (step.played.empty()) {
      processEventsFor(500);
      const auto targets = server.requestedTargets();
      for (size_t i = before; i < targets.size(); ++i)
        EXPECT_EQ(targets[i], playing) << step.what << ": nothing new starts";
    } else {
      playing = step.played;
      EXPECT_TRUE(waitUntil(
          [&] {
            const auto targets = server.requestedTargets();
            return targets.size() > before && targets.back() == step.played;
          },
          10000))
          << step.what << ": the server never saw " << step.played;
      const auto targets = server.requestedTargets();
      for (size_t i = before; i < targets.size(); ++i)
        EXPECT_EQ(targets[i], step.played) << step.what << ": only this station starts";
    }
    processEventsFor(200);
    EXPECT_EQ(started.size(), step.played.empty() ? 0u : 1u) << step.what << ": stations started";
    EXPECT_EQ(c.tvm.text(), step.name) << step.what;
    EXPECT_EQ(c.dz1.text(), step.address) << step.what;
    for (ComboBox* model : {&c.tvm, &c.dz1}) {
      QComboBox* box = w.combo(*model);
      EXPECT_EQ(box->lineEdit()->text().toStdString(), model->text())
          << step.what << ": the text shown by " << model->name();
      EXPECT_EQ(box->currentIndex(), model->selectedIndex())
          << step.what << ": the row shown by " << model->name();
      EXPECT_EQ(box->count(), model->count()) << step.what << ": rows of " << model->name();
    }
  }

  // The stations chosen, newest first, outlive the window; after a restart Backspace goes back
  // to the one before the last.
  auto names = [](const std::vector<StationRef>& stations) {
    std::vector<std::string> out;
    for (const StationRef& station : stations) out.push_back(station.name);
    return out;
  };
  const std::vector<std::string> recent{"Next", "Third", "CCTV5"};
  EXPECT_EQ(names(w.window().recent().stations()), recent);
  window.reset();
  SelectorWindow& again = window.emplace(app.path());
  EXPECT_EQ(names(again.window().recent().stations()), recent);
  const size_t before = server.requestedTargets().size();
  again.keyOnButton(again.c().Command2, Qt::Key_Backspace);
  EXPECT_TRUE(waitUntil(
      [&] {
        const auto targets = server.requestedTargets();
        return targets.size() > before && targets.back() == "/next.wmv?3";
      },
      10000));
  EXPECT_EQ(again.c().tvm.text(), "Third");
}

}  // namespace
}  // namespace zelvo::test

int main(int argc, char** argv) { return zelvo::test::runIntegrationTests(argc, argv); }
