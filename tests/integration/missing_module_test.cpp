// The real program with one of its modules missing, or a broken file in its place: each ends,
// or goes no further, with a clear message, and no station file is touched.
#include <gtest/gtest.h>
#include <signal.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>

#include "platform/ModuleEntries.h"
#include "platform/posix/GbkCodec.h"
#include "support/ControlCentre.h"
#include "support/IntegrationMain.h"
#include "support/ProgramRun.h"
#include "support/TempFolder.h"
#include "support/XClient.h"
#include "support/XvfbServer.h"

namespace zelvo::test {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

// Message boxes carry the application's title; the main window has its version beside it.
constexpr const char* kBoxTitle = "Zelvo";

enum class Damage { Absent, Broken };
enum class Run {
  Window,     // opens the window; ends at the player check's message box with status 1
  WebSearch,  // opens the window and starts the web search; the window stays up
  Check,      // zelvo --check; ends at once with an error status
};

struct Case {
  const char* module;
  Damage damage;
  Run run;
  const char* said;  // what standard error names
};

class MissingModuleTest : public ::testing::TestWithParam<Case> {
 protected:
  void SetUp() override {
    const std::string built = std::getenv("ZELVO_MODULE_DIR");
    for (const ModuleName& module : kModules) {
      const std::string file = std::string(module.file) + ".so";
      if (module.file != std::string(GetParam().module)) {
        fs::create_symlink(built + "/" + file, modules_.file(file));
      } else if (GetParam().damage == Damage::Broken) {
        std::ofstream(modules_.file(file)) << "not a shared library\n";
      }
    }
    // The application folder is the folder of the program.
    fs::copy_file(ZELVO_PROGRAM, app_.file("zelvo"));
    fs::permissions(app_.file("zelvo"), fs::perms::owner_exec, fs::perm_options::add);
    std::ofstream(app_.file("tv_lib.txt"), std::ios::binary)
        << utf8ToGbk("台一,http://127.0.0.1:9/a.ts,-999,假,假\r\n");
    library_ = fileBytes(app_.file("tv_lib.txt"));
  }

  // Waits for a box of the program other than the one given, and closes it as a user would.
  unsigned long closeNextBox(XClient& x, pid_t pid, unsigned long previous = 0) {
    unsigned long box = 0;
    waitUntil(
        [&] {
          box = x.findWindow(pid, kBoxTitle);
          return box && box != previous;
        },
        30000, 50);
    if (box == previous) box = 0;
    if (box) x.requestClose(box);
    return box;
  }

  TempFolder modules_;
  TempFolder app_;
  std::string library_;
};

TEST_P(MissingModuleTest, EndsOrStopsWithAClearMessageAndTouchesNoStationFile) {
  const Case& c = GetParam();
  XvfbServer xvfb;
  ProgramStart start{.setEnvironment = {{"ZELVO_MODULE_DIR", modules_.path()},
                                        {"DISPLAY", xvfb.display()},
                                        {"QT_QPA_PLATFORM", "xcb"}},
                     .unsetEnvironment = {"WAYLAND_DISPLAY"}};
  std::vector<std::string> arguments{app_.file("zelvo")};
  if (c.run == Run::Check) {
    arguments.insert(arguments.end(), {"--check", app_.file("tv_lib.txt"), "--output",
                                       app_.file("live.txt"), "--timeout", "2"});
  }
  RunningProgram program(arguments, app_.path(), start);
  ASSERT_GT(program.pid(), 0);
  XClient x(xvfb.display());

  ProgramResult result;
  if (c.run == Run::Window && std::string(c.module) != "window") {
    EXPECT_NE(closeNextBox(x, program.pid()), 0u) << "no message box";
    result = program.finish(30000);
    EXPECT_EQ(result.status, 1);
  } else if (c.run == Run::WebSearch) {
    const unsigned long window = x.waitForWindow(program.pid(), "Zelvo ver 3.5");
    ASSERT_NE(window, 0u) << program.output();
    const Pixel webSearch = centreOf(designControls().Command17);
    x.click(window, webSearch.x, webSearch.y);
    const unsigned long startBox = closeNextBox(x, program.pid());
    EXPECT_NE(startBox, 0u) << "no box for the start of the search";
    EXPECT_NE(closeNextBox(x, program.pid(), startBox), 0u) << "no box for the browser";
    std::this_thread::sleep_for(500ms);
    EXPECT_TRUE(program.running()) << program.output();
    ::kill(program.pid(), SIGTERM);
    result = program.finish(30000);
    EXPECT_EQ(result.status, 0);
  } else {
    result = program.finish(30000);
    EXPECT_NE(result.status, 0);
    EXPECT_LT(result.status, 128) << "ended by a signal";
  }
  EXPECT_NE(result.err.find(c.said), std::string::npos) << result.err;
  EXPECT_EQ(fileBytes(app_.file("tv_lib.txt")), library_);
  EXPECT_FALSE(fs::exists(app_.file("live.txt")));
  if (c.run != Run::WebSearch) {
    EXPECT_FALSE(fs::exists(app_.file("bfwz.dat")));
  }
}

INSTANTIATE_TEST_SUITE_P(
    EachModule, MissingModuleTest,
    ::testing::Values(
        Case{"window", Damage::Absent, Run::Window, "the window cannot be loaded"},
        Case{"vlc-player", Damage::Broken, Run::Window, "the libVLC player cannot be loaded"},
        Case{"mpv-player", Damage::Absent, Run::Window, "the libmpv player cannot be loaded"},
        Case{"browser", Damage::Broken, Run::WebSearch, "the web browser cannot be loaded"},
        Case{"vlc-probe", Damage::Absent, Run::Check, "the libVLC stream probe cannot be loaded"},
        Case{"mpv-probe", Damage::Broken, Run::Check, "the libmpv stream probe cannot be loaded"}));

}  // namespace
}  // namespace zelvo::test

int main(int argc, char** argv) { return zelvo::test::runProgramTests(argc, argv); }
