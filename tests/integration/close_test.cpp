// The real program under a private X server: a window manager's close request and the signals
// of a logout or Ctrl+C end it on its own, after it saved the position, every time, also while
// every core is busy.
#include <gtest/gtest.h>
#include <signal.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>
#include <vector>

#include "platform/posix/GbkCodec.h"
#include "support/Clips.h"
#include "support/CpuLoad.h"
#include "support/IntegrationMain.h"
#include "support/LoopbackHttpServer.h"
#include "support/ProgramRun.h"
#include "support/ProgramWindow.h"
#include "support/SoakRuns.h"
#include "support/TempFolder.h"
#include "support/TestEnvironment.h"
#include "support/XClient.h"
#include "support/XvfbServer.h"

namespace zelvo::test {
namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

constexpr const char* kTitle = "Zelvo ver 3.5";
// The centre of the play button Command2.
const Pixel kPlay = centreOf(designControls().Command2);

// One run of the program in its application folder, as a desktop session starts it.
class Program : public RunningProgram {
 public:
  Program(const std::string& folder, const std::string& display)
      : RunningProgram(
            {folder + "/zelvo"}, folder,
            ProgramStart{.setEnvironment = {{"DISPLAY", display}, {"QT_QPA_PLATFORM", "xcb"}},
                         .unsetEnvironment = {"WAYLAND_DISPLAY"},
                         .defaultSignals = true,
                         .oneOutput = true}) {}

  int waitForExit(std::chrono::milliseconds limit) {
    return RunningProgram::waitForExit(static_cast<int>(limit.count()));
  }
};

class CloseTest : public ::testing::Test {
 protected:
  void SetUp() override {
    server_ = std::make_unique<LoopbackHttpServer>(media_.path());
    clipUrl_ = server_->url(makeClip(media_.path(), 10));
    // The application folder is the folder of the program.
    placeProgram(ZELVO_PROGRAM, app_.path());
    std::ofstream library(app_.file("tv_lib.txt"), std::ios::binary);
    library << utf8ToGbk("片段," + clipUrl_ + ",-999,假,假\r\nend\r\n");
    x_ = std::make_unique<XClient>(xvfb_.display());
  }

  // Starts the program and presses play until the clip is asked for (a press while start-up
  // reads the lists finds no station yet); the window, or 0 when it never came up.
  unsigned long startAndPlay(Program& program) {
    const unsigned long window = x_->waitForWindow(program.pid(), kTitle);
    if (!window) return 0;
    const size_t asked = server_->requestHeads().size();
    x_->clickUntil(
        window, kPlay.x, kPlay.y, [&] { return server_->requestHeads().size() > asked; }, 1000,
        30000);
    return window;
  }

  std::string savedPosition() const { return fileBytes(app_.file("bfwz.dat")); }

  XvfbServer xvfb_;
  TempFolder media_;
  TempFolder app_;
  std::unique_ptr<LoopbackHttpServer> server_;
  std::string clipUrl_;
  std::unique_ptr<XClient> x_;
};

// The first row of the list is the clip. Playing it records the player that took it (the
// fallback one when the primary fails under load) and row 0.
bool savedFirstRowAfterPlaying(const std::string& position) {
  return position == "win\r\n0\r\n" || position == "real\r\n0\r\n";
}

TEST_F(CloseTest, TheWindowManagersCloseRequestEndsThePlayingProgramEveryTimeUnderLoad) {
  const int kRuns = soakRuns(10);
  CpuLoad load;
  int ended = 0;
  for (int run = 1; run <= kRuns; ++run) {
    std::filesystem::remove(app_.file("bfwz.dat"));
    Program program(app_.path(), xvfb_.display());
    ASSERT_GT(program.pid(), 0);
    const unsigned long window = startAndPlay(program);
    ASSERT_NE(window, 0u) << "run " << run << ": no window\n" << program.output();
    std::this_thread::sleep_for(1s);
    x_->requestClose(window);
    const int status = program.waitForExit(5s);
    EXPECT_EQ(status, 0) << "run " << run << (status < 0 ? ": still running" : "") << "\n"
                         << program.output();
    EXPECT_TRUE(savedFirstRowAfterPlaying(savedPosition()))
        << "run " << run << ": \"" << savedPosition() << "\"";
    if (status == 0 && savedFirstRowAfterPlaying(savedPosition())) ++ended;
  }
  EXPECT_EQ(ended, kRuns);
}

TEST_F(CloseTest, EndSignalsRunTheSameShutDownAsClosingTheWindow) {
  struct Case {
    const char* what;
    std::vector<int> signals;
  } cases[] = {
      {"a system shut-down", {SIGTERM}},
      {"Ctrl+C", {SIGINT}},
      {"a logout", {SIGHUP}},
      {"a second signal during the shut-down", {SIGTERM, SIGINT, SIGHUP}},
  };
  for (const Case& c : cases) {
    std::filesystem::remove(app_.file("bfwz.dat"));
    Program program(app_.path(), xvfb_.display());
    ASSERT_NE(startAndPlay(program), 0u) << c.what << "\n" << program.output();
    std::this_thread::sleep_for(1s);
    for (int number : c.signals) ::kill(program.pid(), number);
    EXPECT_EQ(program.waitForExit(5s), 0) << c.what << "\n" << program.output();
    EXPECT_TRUE(savedFirstRowAfterPlaying(savedPosition())) << c.what;
  }
}

TEST_F(CloseTest, ACloseRequestOrASignalDuringTheLoadOfALargeLibraryEndsTheProgramAtOnce) {
  // About 200 MB: loading it all takes the program many seconds.
  {
    std::ofstream library(app_.file("tv_lib.txt"), std::ios::binary | std::ios::trunc);
    const std::string line = utf8ToGbk("电视台,http://127.0.0.1:1/stream.ts,-999,假,假\r\n");
    for (size_t written = 0; written < 200u * 1024 * 1024; written += line.size()) library << line;
  }
  for (const char* how : {"close request", "SIGTERM"}) {
    Program program(app_.path(), xvfb_.display());
    unsigned long window = 0;
    const auto deadline = Clock::now() + 30s;
    while (!window && Clock::now() < deadline) window = x_->findWindow(program.pid(), kTitle);
    ASSERT_NE(window, 0u) << how << "\n" << program.output();
    if (std::string(how) == "SIGTERM")
      ::kill(program.pid(), SIGTERM);
    else
      x_->requestClose(window);
    EXPECT_EQ(program.waitForExit(3s), 0) << how << "\n" << program.output();
    EXPECT_FALSE(std::filesystem::exists(app_.file("bfwz.dat"))) << "nothing was played";
  }
}

}  // namespace
}  // namespace zelvo::test

int main(int argc, char** argv) { return zelvo::test::runProgramTests(argc, argv); }
