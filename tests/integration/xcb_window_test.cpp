// The window on the real X11 window system (a private Xvfb): a yield runs the input that is
// pending, and an empty length label over a playing picture takes clicks without hiding it;
// the picture is drawn without OpenGL on a server that would render it in software.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCloseEvent>
#include <QWidget>
#include <QWindow>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <thread>

#include "platform/qt/QtFormView.h"
#include "platform/qt/QtServices.h"
#include "platform/vlc/VlcWindowsMediaPlayer.h"
#include "program/Composition.h"
#include "support/Clips.h"
#include "support/GbkFiles.h"
#include "support/IntegrationMain.h"
#include "support/LoopbackHttpServer.h"
#include "support/QuietComponents.h"
#include "support/TempFolder.h"
#include "support/XClient.h"
#include "support/XvfbServer.h"

namespace zelvo::test {
namespace {

int softwareRendererThreads() {
  int count = 0;
  for (const auto& task : std::filesystem::directory_iterator("/proc/self/task")) {
    std::string name;
    std::getline(std::ifstream(task.path() / "comm"), name);
    count += name.starts_with("llvmpipe");
  }
  return count;
}

class ClosableWindow : public QWidget {
 public:
  int closeRequests = 0;

 protected:
  void closeEvent(QCloseEvent* event) override {
    ++closeRequests;
    event->ignore();
  }
};

TEST(XcbWindow, AYieldInsideAQueuedCallRunsACloseRequestThatIsAlreadyPending) {
  ClosableWindow window;
  window.resize(200, 100);
  window.show();
  ASSERT_TRUE(waitUntil([&] { return window.windowHandle()->isExposed(); }, 10000));
  XClient x(privateXServer().display());
  processEventsFor(200);

  // The request reaches the program's connection while the UI thread is busy elsewhere, then
  // a player event (a queued call) lets pending events run.
  x.requestClose(window.winId());
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  int seenBeforeYield = -1, seenAfterYield = -1;
  QMetaObject::invokeMethod(
      &window,
      [&] {
        seenBeforeYield = window.closeRequests;
        QtEventLoop loop;
        loop.processPendingEvents();
        seenAfterYield = window.closeRequests;
      },
      Qt::QueuedConnection);
  ASSERT_TRUE(waitUntil([&] { return seenAfterYield >= 0; }, 5000));
  EXPECT_EQ(seenBeforeYield, 0);
  EXPECT_EQ(seenAfterYield, 1);
  processEventsFor(300);
  EXPECT_EQ(window.closeRequests, 1);
}

TEST(XcbWindow, AnEmptyLengthLabelOverThePlayingPictureLetsThePictureShowAndTakesClicks) {
  TempFolder media;
  const std::string clip = makeClip(media.path(), 20);
  LoopbackHttpServer server(media.path());
  TempFolder app;
  writeGbkLines(app.file("tv_lib.txt"), {"片段," + server.url(clip) + ",-999,假,假", "end"});

  ZelvoApplication zelvo(app.path(), silentComponents());
  zelvo.start();
  ASSERT_FALSE(zelvo.endRequested());
  FormControls& c = zelvo.window().controls();
  const int threadsBeforePlaying = softwareRendererThreads();
  c.Command2.userClicked();
  ASSERT_TRUE(
      waitUntil([&] { return zelvo.primaryPlayer().playState() == WmpState::Playing; }, 20000));
  processEventsFor(1500);

  // A live stream has no length: the label is empty.
  c.Label1.setCaption("");
  processEventsFor(300);
  QWidget* label = zelvo.view().widgetOf(c.Label1);
  EXPECT_TRUE(label->isHidden()) << "an empty label would cover the picture with a box";

  XClient x(privateXServer().display());
  const unsigned long window = zelvo.view().winId();
  const TwipRect r = c.Label1.rect();
  const int left = r.left / kTwipsPerPixel, top = r.top / kTwipsPerPixel;
  const int width = r.width / kTwipsPerPixel, height = r.height / kTwipsPerPixel;
  const std::vector<uint32_t> area = x.pixels(window, left, top, width, height);
  EXPECT_GT(std::set<uint32_t>(area.begin(), area.end()).size(), 3u)
      << "the label's area should show the test picture";
  // Xvfb has no direct rendering: the picture comes without Mesa's software OpenGL, which keeps
  // memory behind for every stream. Each of its contexts runs threads of its own.
  EXPECT_EQ(softwareRendererThreads(), threadsBeforePlaying);

  // A click there switches the view, as a click on the label with its text does.
  const int heightBefore = c.form1.height();
  x.click(window, left + width / 2, top + height / 2);
  EXPECT_TRUE(waitUntil([&] { return c.form1.height() != heightBefore; }, 5000));
  const int heightAfterOne = c.form1.height();
  x.click(window, left + width / 2, top + height / 2);
  EXPECT_TRUE(waitUntil([&] { return c.form1.height() != heightAfterOne; }, 5000));
  EXPECT_EQ(c.form1.height(), heightBefore);
}

}  // namespace
}  // namespace zelvo::test

int main(int argc, char** argv) { return zelvo::test::runIntegrationTestsOnXvfb(argc, argv); }
