// The real window with the real components, offscreen: start-up shows the station list of the
// application folder, and the play button brings a loopback clip to playing.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <iterator>

#include "platform/qt/QtFormView.h"
#include "platform/vlc/VlcWindowsMediaPlayer.h"
#include "program/Composition.h"
#include "support/Clips.h"
#include "support/GbkFiles.h"
#include "support/IntegrationMain.h"
#include "support/LoopbackHttpServer.h"
#include "support/QuietComponents.h"
#include "support/TempFolder.h"

namespace zelvo::test {
namespace {

TEST(Window, StartsWithTheStationListAndPlaysTheCurrentStation) {
  TempFolder media;
  const std::string clip = makeClip(media.path(), 4);
  LoopbackHttpServer server(media.path());

  TempFolder app;
  writeGbkLines(app.file("tv_lib.txt"), {"本地片段," + server.url(clip) + ",-999,假,假",
                                         "坏地址,http://127.0.0.1:1/x.ts,-999,假,假", "end"});
  writeGbkLines(app.file("tv_lib_ss_jg.txt"), {"结果,http://127.0.0.1:1/r.ts,"});

  ZelvoApplication zelvo(app.path(), quietComponents(10000));
  zelvo.start();
  ASSERT_FALSE(zelvo.endRequested()) << "a player engine did not start";

  FormControls& c = zelvo.window().controls();
  EXPECT_EQ(c.form1.caption(), "Zelvo ver 3.5");
  ASSERT_EQ(c.tvm.count(), 5);  // result, separator (empty www file), separator, two stations
  EXPECT_EQ(c.tvm.row(3), "本地片段");
  EXPECT_EQ(c.tvm.text(), "结果");
  QWidget* window = zelvo.view().window();
  EXPECT_TRUE(window->isVisible());
  EXPECT_EQ(window->windowTitle(), QString::fromUtf8("Zelvo ver 3.5"));

  c.tvm.setText("本地片段");
  c.dz1.setText(server.url(clip));
  c.Command2.userClicked();
  EXPECT_TRUE(
      waitUntil([&] { return zelvo.primaryPlayer().playState() == WmpState::Playing; }, 20000));
  EXPECT_EQ(zelvo.window().state().playerKind, PlayerKind::Win);

  // Closing the window saves the current row and asks the process to end.
  zelvo.view().close();
  EXPECT_TRUE(zelvo.endRequested());
  EXPECT_FALSE(window->isVisible());
  EXPECT_EQ(fileBytes(app.file("bfwz.dat")), "win\r\n3\r\n");
}

TEST(Window, ThePopupWatchClosesPromptsOfTheWindowAndShowsTheActiveTitle) {
  TempFolder app;
  ZelvoApplication zelvo(app.path(), quietComponents(10000));
  zelvo.start();
  QWidget* window = zelvo.view().window();
  window->activateWindow();
  ASSERT_TRUE(waitUntil([&] { return QApplication::activeWindow() == window; }, 5000));
  FormControls& c = zelvo.window().controls();
  EXPECT_TRUE(waitUntil([&] { return c.l.caption() == "Zelvo ver 3.5"; }, 2000));

  QDialog connect(window);
  connect.setWindowTitle("Connect");
  connect.show();
  QDialog update(zelvo.primaryPlayer().widget());  // a player's own prompt, parented inside
  update.setWindowTitle("AutoUpdate 检查更新");
  update.show();
  update.activateWindow();
  EXPECT_TRUE(waitUntil([&] { return !update.isVisible(); }, 2000));
  connect.activateWindow();
  EXPECT_TRUE(waitUntil([&] { return c.l.caption() == "Connect"; }, 2000));
  processEventsFor(300);
  EXPECT_TRUE(connect.isVisible());
}

}  // namespace
}  // namespace zelvo::test

int main(int argc, char** argv) { return zelvo::test::runIntegrationTests(argc, argv); }
