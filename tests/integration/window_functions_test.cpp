// The pop-up watch's window functions on real Qt windows, offscreen: the active window, the last
// active pop-up of a window, titles as GBK text of a bounded length, and close requests.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCloseEvent>
#include <QDialog>
#include <QVBoxLayout>

#include "platform/Failure.h"
#include "platform/qt/QtWindowFunctions.h"
#include "support/IntegrationMain.h"

namespace zelvo::test {
namespace {

WindowHandle handleOf(QWidget* widget) { return reinterpret_cast<WindowHandle>(widget); }

class Prompt : public QDialog {
 public:
  Prompt(QWidget* parent, const QString& title, bool refusesToClose)
      : QDialog(parent), refuses_(refusesToClose) {
    setWindowTitle(title);
  }
  int closeRequests = 0;

 protected:
  void closeEvent(QCloseEvent* event) override {
    ++closeRequests;
    if (refuses_) {
      event->ignore();
      return;
    }
    QDialog::closeEvent(event);
  }

 private:
  bool refuses_;
};

void showAndActivate(QWidget* window) {
  window->show();
  window->activateWindow();
  waitUntil([&] { return QApplication::activeWindow() == window; }, 2000);
}

TEST(WindowFunctions, ActiveWindowAndTheLastActivePopupItOwns) {
  QtWindowFunctions windows;
  EXPECT_EQ(windows.activeWindow(), 0u) << "no window yet";

  QWidget main;
  main.setWindowTitle("Zelvo ver 3.5");
  auto* player = new QWidget(&main);  // the pop-ups of the players are parented inside
  new QVBoxLayout(&main);
  main.layout()->addWidget(player);
  showAndActivate(&main);
  QWidget other;
  other.setWindowTitle("another window");
  const WindowHandle m = handleOf(&main);
  EXPECT_EQ(windows.activeWindow(), m);
  EXPECT_EQ(windows.lastActivePopup(m), m) << "a window without pop-ups";

  Prompt login(player, "User name and password", false);
  login.show();
  processEventsFor(50);
  EXPECT_EQ(windows.lastActivePopup(m), handleOf(&login)) << "a dialog of a widget inside";

  Prompt update(&main, "AutoUpdate", false);
  showAndActivate(&update);
  EXPECT_EQ(windows.activeWindow(), handleOf(&update));
  EXPECT_EQ(windows.lastActivePopup(m), handleOf(&update)) << "the latest one";

  Prompt foreign(&other, "Contacting", false);
  foreign.show();
  processEventsFor(50);
  EXPECT_EQ(windows.lastActivePopup(m), handleOf(&update)) << "another window's dialog";

  update.close();
  processEventsFor(50);
  EXPECT_EQ(windows.lastActivePopup(m), handleOf(&login)) << "a closed dialog no longer counts";
  login.close();
  processEventsFor(50);
  EXPECT_EQ(windows.lastActivePopup(m), m);
  EXPECT_EQ(windows.lastActivePopup(0), 0u);
}

TEST(WindowFunctions, TitlesAreGbkTextCutToTheBufferWithoutSplittingACharacter) {
  QtWindowFunctions windows;
  QWidget window;
  const WindowHandle w = handleOf(&window);
  struct Case {
    const char* title;
    int maxCount;
    const char* expected;
  } cases[] = {
      {"Contacting server", 255, "Contacting server"},
      {"Contacting server", 5, "Cont"},
      {"登录提示", 255, "登录提示"},
      {"登录提示", 4, "登"},  // 3 bytes leave room for one two-byte character
      {"登录提示", 5, "登录"},
      {"a登b", 3, "a"},
      {"a登b", 4, "a登"},
      {"São", 5, "S"},  // "ã" takes four bytes
      {"São", 6, "Sã"},
      {"anything", 1, ""},
      {"anything", 0, ""},
  };
  for (const Case& c : cases) {
    window.setWindowTitle(QString::fromUtf8(c.title));
    EXPECT_EQ(windows.windowText(w, c.maxCount), c.expected) << c.title << " " << c.maxCount;
  }
  EXPECT_THROW(windows.windowText(w + 8, 255), PlatformFailure);
  EXPECT_THROW(windows.windowText(0, 255), PlatformFailure);
}

TEST(WindowFunctions, ACloseRequestReturnsAfterTheWindowHandledIt) {
  QtWindowFunctions windows;
  QWidget main;
  showAndActivate(&main);
  Prompt willing(&main, "Contact us", false);
  Prompt stubborn(&main, "Contact us", true);
  willing.show();
  stubborn.show();
  processEventsFor(50);

  windows.sendClose(handleOf(&willing));
  EXPECT_EQ(willing.closeRequests, 1);
  EXPECT_FALSE(willing.isVisible());
  windows.sendClose(handleOf(&stubborn));
  EXPECT_EQ(stubborn.closeRequests, 1);
  EXPECT_TRUE(stubborn.isVisible()) << "a dialog that ignores the request stays open";
  EXPECT_THROW(windows.sendClose(0), PlatformFailure);
}

}  // namespace
}  // namespace zelvo::test

int main(int argc, char** argv) { return zelvo::test::runIntegrationTests(argc, argv); }
