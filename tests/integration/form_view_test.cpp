// The window's Qt view offscreen: drop-down lists show their model's text whatever Qt does by
// itself, empty labels take clicks in their area, and the status line is hidden at design time.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QTest>

#include "form/FormControls.h"
#include "platform/qt/QtFormView.h"
#include "support/IntegrationMain.h"

namespace zelvo::test {
namespace {

QString qs(const std::string& text) { return QString::fromStdString(text); }

struct View {
  FormControls c;
  std::unique_ptr<QtFormView> view;
  View() {
    std::vector<Control*> controls;
    c.forEachControl([&](Control& control) { controls.push_back(&control); });
    view = std::make_unique<QtFormView>(c.form1, controls);
    c.form1.setVisible(true);
    processEventsFor(50);
  }
  QComboBox* combo(ComboBox& model) { return static_cast<QComboBox*>(view->widgetOf(model)); }
};

// The log of played addresses grows at its start, is cut back, and may be typed into: the field
// shows the model's lines whichever way its text changed.
TEST(FormView, TheLogFieldShowsItsModelsLinesAsTheyAreAddedCutOrTyped) {
  View v;
  TextBox& log = v.c.Text1;
  auto* edit = static_cast<QPlainTextEdit*>(v.view->widgetOf(log));
  auto lines = [](std::string text) {
    for (char& ch : text)
      if (ch == '\r') ch = '\n';
    return qs(text);
  };
  struct Step {
    const char* what;
    std::function<void()> act;
  } steps[] = {
      {"the first address", [&] { log.setText("http://h/一.wmv\r"); }},
      {"a second at the start", [&] { log.setText("http://h/二.wmv\r" + log.text()); }},
      {"a third at the start", [&] { log.setText("rtsp://h/三\r" + log.text()); }},
      {"cut to its first characters", [&] { log.setText(log.text().substr(0, 12)); }},
      {"the user types at the end",
       [&] {
         edit->moveCursor(QTextCursor::End);
         edit->insertPlainText("x");
       }},
      {"another address at the start", [&] { log.setText("http://h/四.wmv\r" + log.text()); }},
      {"the same text again", [&] { log.setText(log.text()); }},
      {"emptied", [&] { log.setText(""); }},
  };
  for (const Step& step : steps) {
    step.act();
    processEventsFor(10);
    EXPECT_EQ(edit->toPlainText(), lines(log.text())) << step.what;
  }
}

TEST(FormView, ADropDownListShowsItsModelsTextAndRowWhateverQtDoesByItself) {
  View v;
  ComboBox& tvm = v.c.tvm;
  QComboBox* box = v.combo(tvm);
  struct Step {
    const char* what;
    std::function<void()> act;
  } steps[] = {
      {"rows arrive one by one in the empty list",
       [&] {
         for (const char* row : {"甲台", "乙台", "丙台"}) tvm.addItem(row);
       }},
      {"the text names a row", [&] { tvm.setText("乙台"); }},
      {"a row goes in at the top", [&] { tvm.addItem("丁台", 0); }},
      {"the current row goes", [&] { tvm.removeItem(2); }},
      {"the list is cleared", [&] { tvm.clear(); }},
      {"the list is loaded again",
       [&] {
         for (const char* row : {"甲台", "乙台"}) tvm.addItem(row);
       }},
      {"the popup opens and closes without a choice",
       [&] {
         box->showPopup();
         processEventsFor(50);
         box->hidePopup();
       }},
      {"the user picks the second row",
       [&] {
         box->setCurrentIndex(1);
         emit box->activated(1);
       }},
      {"the user types a text of no row",
       [&] {
         box->lineEdit()->setText("自定义");
         emit box->lineEdit()->textEdited("自定义");
       }},
  };
  for (const Step& step : steps) {
    step.act();
    // The rows are there before the loop turns: a loading library is shown as it grows.
    EXPECT_EQ(box->count(), tvm.count()) << step.what << ", at once";
    processEventsFor(50);
    EXPECT_EQ(box->currentText(), qs(tvm.text())) << step.what;
    EXPECT_EQ(box->currentIndex(), tvm.selectedIndex()) << step.what;
    EXPECT_EQ(box->count(), tvm.count()) << step.what;
  }
  EXPECT_EQ(tvm.text(), "自定义");

  // The threshold list cannot be typed into: it shows the row of its text.
  QComboBox* threshold = v.combo(v.c.Combo1);
  EXPECT_EQ(threshold->currentText(), "20");
  v.c.Combo1.setText("60");
  EXPECT_EQ(threshold->currentText(), "60");
}

void pressAt(QWidget* target, QPoint inForm, QWidget* form) {
  const QPointF local = target->mapFrom(form, inForm);
  QMouseEvent press(QEvent::MouseButtonPress, local, target->mapToGlobal(local), Qt::LeftButton,
                    Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(target, &press);
}

TEST(FormView, AnEmptyLabelCoversNothingYetTakesClicksInItsArea) {
  View v;
  Label& length = v.c.Label1;
  int clicks = 0;
  length.click.connect([&] { ++clicks; });
  QWidget* form = v.view.get();
  QWidget* player = v.view->widgetOf(v.c.WindowsMediaPlayer1);
  const TwipRect r = length.rect();
  const QPoint centre((r.left + r.width / 2) / kTwipsPerPixel,
                      (r.top + r.height / 2) / kTwipsPerPixel);
  const QPoint outside(centre.x(), (r.top + r.height) / kTwipsPerPixel + 20);

  EXPECT_TRUE(v.view->widgetOf(length)->isHidden());
  pressAt(player, centre, form);
  EXPECT_EQ(clicks, 1) << "a press on the player area inside the label's area";
  pressAt(player, outside, form);
  EXPECT_EQ(clicks, 1) << "a press beside it";
  length.setEnabled(false);
  pressAt(player, centre, form);
  EXPECT_EQ(clicks, 1) << "a disabled label";
  length.setEnabled(true);
  length.setVisible(false);
  pressAt(player, centre, form);
  EXPECT_EQ(clicks, 1) << "a hidden label";
  length.setVisible(true);

  // With its text the label is a widget of its own and takes the press itself.
  length.setCaption("00:10");
  QWidget* label = v.view->widgetOf(length);
  EXPECT_FALSE(label->isHidden());
  pressAt(label, centre, form);
  EXPECT_EQ(clicks, 2);
}

TEST(FormView, TheStatusLineIsHiddenAtDesignTime) {
  View v;
  EXPECT_FALSE(v.c.l.visible());
  EXPECT_TRUE(v.view->widgetOf(v.c.l)->isHidden());
  v.c.l.setVisible(true);  // as start-up does
  EXPECT_FALSE(v.view->widgetOf(v.c.l)->isHidden());
}

// Shortcuts answer wherever the focus is in the window, the player area's picture included.
TEST(FormView, TheWindowsShortcutsAnswerWhereverItsFocusIs) {
  View v;
  std::vector<std::string> heard;
  for (const char* keys : {"Ctrl+R", "F2"})
    v.c.form1.addShortcut(keys, [&heard, keys] { heard.push_back(keys); });
  v.view->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(v.view.get()));
  v.view->widgetOf(v.c.tvm)->setFocus();
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_R, Qt::ControlModifier);
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_F2);
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_R);
  EXPECT_EQ(heard, (std::vector<std::string>{"Ctrl+R", "F2"}));

  // A dialog parented to the window keeps its keys: Escape there is not the window's.
  std::vector<int> keys;
  v.c.form1.keyDown.connect([&](int code) { keys.push_back(code); });
  QDialog dialog(v.view.get());
  auto* field = new QLineEdit(&dialog);
  dialog.show();
  QTest::keyClick(field, Qt::Key_Escape);
  EXPECT_TRUE(keys.empty());
}

}  // namespace
}  // namespace zelvo::test

int main(int argc, char** argv) { return zelvo::test::runIntegrationTests(argc, argv); }
