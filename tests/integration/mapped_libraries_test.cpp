// What the real program loads: a command that needs no window loads neither player, nor the
// browser, nor Qt Quick and QML; the station check loads no browser and no widgets; the window,
// once shown, has no browser library mapped and no browser process started.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "support/Clips.h"
#include "support/GbkFiles.h"
#include "support/IntegrationMain.h"
#include "support/LoopbackHttpServer.h"
#include "support/ProgramWindow.h"
#include "support/TempFolder.h"

using ::testing::HasSubstr;

namespace zelvo::test {
namespace {

using namespace std::chrono_literals;
using Names = std::set<std::string>;

const std::vector<std::string> kPlayersBrowserAndQuick = {"libvlc", "libmpv", "libQt6WebEngine",
                                                          "libQt6Quick", "libQt6Qml"};
const std::vector<std::string> kBrowserAndWidgets = {"libQt6WebEngine", "libQt6Widgets"};

std::string baseName(const std::string& path) { return path.substr(path.rfind('/') + 1); }

// The loader's trace (LD_DEBUG=files) names every object it opens, needed or dlopen()ed, as
// "file=NAME [namespace];", in one file per process of the program.
Names tracedLibraries(const std::string& traceFolder) {
  Names loaded;
  for (const auto& trace : std::filesystem::directory_iterator(traceFolder)) {
    std::ifstream in(trace.path());
    std::string line;
    while (std::getline(in, line)) {
      const size_t at = line.find("file=");
      if (at == std::string::npos) continue;
      const size_t start = at + 5;
      loaded.insert(baseName(line.substr(start, line.find(' ', start) - start)));
    }
  }
  return loaded;
}

Names mappedLibraries(pid_t pid) {
  Names mapped;
  std::ifstream maps("/proc/" + std::to_string(pid) + "/maps");
  std::string line;
  while (std::getline(maps, line)) {
    const size_t path = line.find('/');
    if (path != std::string::npos) mapped.insert(baseName(line.substr(path)));
  }
  return mapped;
}

// The names among loaded that begin with one of the prefixes, a space before each.
std::string matching(const Names& loaded, const std::vector<std::string>& prefixes) {
  std::string found;
  for (const std::string& name : loaded)
    for (const std::string& prefix : prefixes)
      if (name.rfind(prefix, 0) == 0) found += " " + name;
  return found;
}

// The commands of every process below pid.
std::vector<std::string> descendantCommands(pid_t pid) {
  std::vector<std::pair<long, std::string>> processes;  // parent, command
  std::vector<long> ids;
  for (const auto& entry : std::filesystem::directory_iterator("/proc")) {
    const std::string id = entry.path().filename();
    if (id.find_first_not_of("0123456789") != std::string::npos) continue;
    std::ifstream stat(entry.path() / "stat");
    std::string all((std::istreambuf_iterator<char>(stat)), {});
    const size_t open = all.find('('), close = all.rfind(')');
    if (open == std::string::npos || close == std::string::npos) continue;
    long parent = 0;
    char state = 0;
    std::istringstream(all.substr(close + 1)) >> state >> parent;
    ids.push_back(std::stol(id));
    processes.emplace_back(parent, all.substr(open + 1, close - open - 1));
  }
  std::vector<std::string> commands;
  std::set<long> tree{pid};
  for (bool grew = true; grew;) {
    grew = false;
    for (size_t i = 0; i < ids.size(); ++i)
      if (tree.count(processes[i].first) && tree.insert(ids[i]).second) {
        commands.push_back(processes[i].second);
        grew = true;
      }
  }
  return commands;
}

// The program in a folder of its own, which is then its application folder.
class MappedLibrariesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    placeProgram(ZELVO_PROGRAM, app_.path());
    std::error_code error;
    // The modules the build puts beside the program go with it.
    const std::filesystem::path built = std::filesystem::path(ZELVO_PROGRAM).parent_path();
    for (const auto& entry : std::filesystem::directory_iterator(built)) {
      const std::string name = entry.path().filename();
      if (name.find(".so") != std::string::npos || name == "lib")
        std::filesystem::create_symlink(entry.path(), app_.file(name), error);
    }
    writeGbkText(app_.file("tv_lib.txt"), "甲,http://127.0.0.1:1/a.ts,-999,假,假\r\nend\r\n");
  }
  TempFolder app_, lists_, scratch_;
};

TEST_F(MappedLibrariesTest, CommandsLoadOnlyWhatTheyUse) {
  TempFolder media;
  LoopbackHttpServer server(media.path());
  const std::string clip = server.url(makeClip(media.path(), 4.0));
  writeGbkText(lists_.file("check.txt"), "直播," + clip + ",-999,假,假\r\nend\r\n");
  std::ofstream(lists_.file("list.m3u")) << "#EXTM3U\n#EXTINF:-1,新台\nhttp://127.0.0.1:1/b.ts\n";

  const struct Case {
    std::vector<std::string> arguments;
    const std::vector<std::string>& notLoaded;
    std::string says;
  } cases[] = {
      {{"--help"}, kPlayersBrowserAndQuick, "--version"},
      {{"--version"}, kPlayersBrowserAndQuick, "zelvo"},
      {{"--import", lists_.file("list.m3u")}, kPlayersBrowserAndQuick, "Added 1 station"},
      {{"--export", lists_.file("out.m3u")}, kPlayersBrowserAndQuick, "Wrote 2 stations"},
      {{"--check", lists_.file("check.txt"), "--jobs", "1", "--timeout", "5", "--output",
        lists_.file("live.txt")},
       kBrowserAndWidgets,
       "1 live"},
  };
  for (const Case& c : cases) {
    TempFolder traces;
    std::vector<std::string> arguments = c.arguments;
    arguments.insert(arguments.begin(), app_.file("zelvo"));
    // Without a display: none of these may need one.
    const ProgramResult result =
        RunningProgram(arguments, scratch_.path(),
                       ProgramStart{.setEnvironment = {{"LD_DEBUG", "files"},
                                                       {"LD_DEBUG_OUTPUT", traces.file("ld")},
                                                       {"QT_QPA_PLATFORM", "xcb"}},
                                    .unsetEnvironment = {"DISPLAY", "WAYLAND_DISPLAY"}})
            .finish(60000);
    EXPECT_EQ(result.status, 0) << c.arguments[0] << "\n" << result.err;
    EXPECT_THAT(result.out, HasSubstr(c.says)) << c.arguments[0];
    const Names loaded = tracedLibraries(traces.path());
    ASSERT_NE(matching(loaded, {"libQt6Core"}), "") << c.arguments[0] << ": no loader trace";
    EXPECT_EQ(matching(loaded, c.notLoaded), "") << c.arguments[0];
  }
}

TEST_F(MappedLibrariesTest, TheShownWindowHasNoBrowserNorGlDriverMappedNorABrowserProcess) {
  ProgramWindow zelvo(app_.file("zelvo"), scratch_.path());
  RunningProgram& program = zelvo.program();
  const unsigned long window = zelvo.window();
  ASSERT_NE(window, 0u) << program.output();
  std::this_thread::sleep_for(1s);

  const Names mapped = mappedLibraries(program.pid());
  ASSERT_NE(matching(mapped, {"libQt6Widgets"}), "") << "the maps could not be read";
  EXPECT_EQ(matching(mapped, {"libQt6WebEngine"}), "");
  // Nothing drawn with OpenGL yet: the GL driver (with LLVM, tens of megabytes) stays out.
  EXPECT_EQ(matching(mapped, {"libLLVM", "swrast_dri"}), "");
  for (const std::string& command : descendantCommands(program.pid()))
    EXPECT_EQ(command.rfind("QtWebEngine", 0), std::string::npos) << command;

  zelvo.x().requestClose(window);
  EXPECT_EQ(program.waitForExit(30000), 0) << program.output();
}

}  // namespace
}  // namespace zelvo::test

int main(int argc, char** argv) { return zelvo::test::runProgramTests(argc, argv); }
