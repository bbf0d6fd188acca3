// The window's message boxes on real Qt widgets, offscreen: a key that was already held when a
// box came up repeats into it without answering it; a fresh press does.
#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QMessageBox>
#include <QTimer>

#include "platform/qt/QtServices.h"
#include "support/IntegrationMain.h"

namespace zelvo::test {
namespace {

// How X repeats a held key: as presses marked as repeats, or as a release and a press that
// share one timestamp. A fresh press comes later than the last release.
enum class Repeat { Marked, SameTimestamp, None };

void sendReturn(QWidget* target, QEvent::Type type, Repeat repeat, quint64 time) {
  QKeyEvent key(type, Qt::Key_Return, Qt::NoModifier, QString("\r"), repeat == Repeat::Marked);
  key.setTimestamp(time);
  QApplication::sendEvent(target, &key);
}

void pressReturn(QWidget* target, Repeat repeat) {
  static quint64 time = 1000;
  time += 40;
  sendReturn(target, QEvent::KeyRelease, repeat, time);
  sendReturn(target, QEvent::KeyPress, repeat, repeat == Repeat::None ? time + 7 : time);
}

class MessageBoxes : public ::testing::TestWithParam<Repeat> {};

TEST_P(MessageBoxes, AHeldEnterKeyRepeatsIntoABoxWithoutAnsweringIt) {
  QtMessageBoxes boxes;
  int repeatsSeen = 0;
  bool answeredFresh = false;
  QTimer keyboard;
  // While the box is up, the held Enter repeats into it ten times, as X repeats a key held
  // down; then the user presses Enter anew.
  QObject::connect(&keyboard, &QTimer::timeout, [&] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (!box || !box->isVisible()) return;
    QWidget* focus = QApplication::focusWidget() ? QApplication::focusWidget() : box;
    if (repeatsSeen < 10) {
      pressReturn(focus, GetParam());
      ++repeatsSeen;
    } else {
      answeredFresh = true;
      pressReturn(focus, Repeat::None);
    }
  });
  keyboard.start(20);
  QTimer bound;
  bound.setSingleShot(true);
  QObject::connect(&bound, &QTimer::timeout, [] {
    if (QWidget* box = QApplication::activeModalWidget()) box->close();
  });
  bound.start(10000);

  boxes.show("搜索完毕！", "搜索", MessageIcon::Error);
  EXPECT_EQ(repeatsSeen, 10);
  EXPECT_TRUE(answeredFresh) << "the box was answered by a repeat of a key held before it";
}

INSTANTIATE_TEST_SUITE_P(HeldKeys, MessageBoxes,
                         ::testing::Values(Repeat::Marked, Repeat::SameTimestamp));

}  // namespace
}  // namespace zelvo::test

int main(int argc, char** argv) { return zelvo::test::runIntegrationTests(argc, argv); }
