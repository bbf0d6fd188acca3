// The installed program: `cmake --install` into a temporary prefix puts every file where the
// desktop looks for it, the desktop's validators accept them, and the program starts from there.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <thread>
#include <vector>

#include "support/IntegrationMain.h"
#include "support/ProgramRun.h"
#include "support/TempFolder.h"

namespace zelvo::test {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

const std::string kId = ZELVO_APP_ID;
const std::string kDesktopEntry = "share/applications/" + kId + ".desktop";
const std::string kIcon = "share/icons/hicolor/scalable/apps/" + kId + ".svg";
const std::string kMetainfo = "share/metainfo/" + kId + ".metainfo.xml";
const char* const kStationFiles[] = {"tv_lib.txt", "tv_lib_ss.txt", "tv_lib_ss_jg_y.txt"};

struct Result {
  int status;
  std::string output;
};

Result run(const std::vector<std::string>& command, const std::string& scratch,
           std::chrono::seconds limit = 60s) {
  const ProgramResult result =
      runProgram(command, scratch, static_cast<int>(std::chrono::milliseconds(limit).count()));
  return {result.status, result.out + result.err};
}

// The value of a key of the desktop entry's main group, or "" when it has none.
std::string desktopValue(const std::string& entry, const std::string& key) {
  std::istringstream lines(entry);
  for (std::string line; std::getline(lines, line);)
    if (line.starts_with(key + "=")) return line.substr(key.size() + 1);
  return {};
}

std::set<std::string> splitList(const std::string& list) {
  std::set<std::string> items;
  std::istringstream in(list);
  for (std::string item; std::getline(in, item, ';');)
    if (!item.empty()) items.insert(item);
  return items;
}

// The MIME types that the system's shared-mime-info gives to files named *.extension.
std::set<std::string> systemTypesOf(const std::string& extension) {
  std::set<std::string> types;
  std::ifstream globs("/usr/share/mime/globs2");
  for (std::string line; std::getline(globs, line);) {
    // weight:type:glob[:flags]
    const auto first = line.find(':'), second = line.find(':', first + 1);
    if (line.starts_with("#") || second == std::string::npos) continue;
    const std::string glob = line.substr(second + 1, line.find(':', second + 1) - second - 1);
    if (glob == "*." + extension) types.insert(line.substr(first + 1, second - first - 1));
  }
  return types;
}

// One installation, into <root>/usr as a package would put it, shared by the tests.
class InstallTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    // The installed program finds its own modules, not the build's.
    ::unsetenv("ZELVO_MODULE_DIR");
    root_ = new TempFolder;
    const Result install =
        run({ZELVO_CMAKE, "--install", ZELVO_BUILD_FOLDER, "--prefix", root_->file("usr")},
            root_->path());
    installOutput_ = new std::string(std::to_string(install.status) + "\n" + install.output);
  }
  static void TearDownTestSuite() {
    delete root_;
    delete installOutput_;
  }
  void SetUp() override {
    ASSERT_TRUE(installOutput_->starts_with("0\n")) << "cmake --install: " << *installOutput_;
  }

  static std::string installed(const std::string& path) { return root_->file("usr/" + path); }

  static TempFolder* root_;
  static std::string* installOutput_;
  TempFolder scratch_;
};

TempFolder* InstallTest::root_ = nullptr;
std::string* InstallTest::installOutput_ = nullptr;

TEST_F(InstallTest, EveryFileGoesWhereTheDesktopAndTheProgramLookForIt) {
  struct stat program {};
  ASSERT_EQ(::stat(installed("bin/zelvo").c_str(), &program), 0);
  EXPECT_TRUE(program.st_mode & S_IXOTH) << "everyone may run the program";
  for (const char* name : kStationFiles)
    EXPECT_EQ(fileBytes(installed("share/zelvo/shipped/") + name),
              fileBytes(std::string(ZELVO_SOURCE_FOLDER "/data/") + name))
        << name;
  for (const std::string& file : {kDesktopEntry, kIcon, kMetainfo})
    EXPECT_TRUE(fs::is_regular_file(installed(file))) << file;
  EXPECT_NE(fileBytes(installed("share/doc/zelvo/copyright")).find("License: GPL-3+"),
            std::string::npos);
  EXPECT_NE(fileBytes(installed(kMetainfo)).find("<project_license>GPL-3.0-or-later<"),
            std::string::npos);
  // Only the station files are shipped data: start-up makes the temp folder itself.
  std::set<std::string> shipped;
  for (const auto& entry : fs::directory_iterator(installed("share/zelvo/shipped")))
    shipped.insert(entry.path().filename().string());
  EXPECT_EQ(shipped, std::set<std::string>(std::begin(kStationFiles), std::end(kStationFiles)));
}

TEST_F(InstallTest, TheDesktopEntryAndTheMetadataPassTheirValidatorsWithoutARemark) {
  const std::vector<std::string> checks[] = {
      {"desktop-file-validate", installed(kDesktopEntry)},
      {"appstreamcli", "validate", "--no-net", "--strict", installed(kMetainfo)},
      // The tree as a whole: the metadata's launchable names the desktop entry, whose icon is
      // installed.
      {"appstreamcli", "validate-tree", "--no-net", "--strict", root_->path()},
  };
  for (const auto& command : checks) {
    const Result result = run(command, scratch_.path());
    EXPECT_EQ(result.status, 0) << command[0] << " " << command[1] << "\n" << result.output;
    if (command[0] == "desktop-file-validate") {
      EXPECT_EQ(result.output, "");
    }
  }
}

TEST_F(InstallTest, AFileManagerOffersZelvoForEveryKindOfPlaylistItReads) {
  const std::string entry = fileBytes(installed(kDesktopEntry));
  EXPECT_EQ(desktopValue(entry, "Exec"), "zelvo %F");
  EXPECT_EQ(desktopValue(entry, "Icon"), kId);
  EXPECT_EQ(desktopValue(entry, "Name"), "Zelvo");
  EXPECT_NE(desktopValue(entry, "Name[zh_CN]"), "");
  EXPECT_EQ(splitList(desktopValue(entry, "Categories")),
            (std::set<std::string>{"AudioVideo", "Video", "TV", "Player"}));
  const std::set<std::string> offered = splitList(desktopValue(entry, "MimeType"));
  for (const char* extension : {"m3u", "m3u8", "pls", "asx"}) {
    const std::set<std::string> types = systemTypesOf(extension);
    EXPECT_FALSE(types.empty()) << "shared-mime-info knows no *." << extension;
    // Whichever of them the file manager settles on, Zelvo is among its programs.
    for (const std::string& type : types)
      EXPECT_TRUE(offered.count(type)) << "*." << extension << " is " << type;
  }
}

TEST_F(InstallTest, TheInstalledProgramStartsWithItsFilesInTheUsersFolder) {
  const std::string home = scratch_.file("home");
  const std::string dataHome = scratch_.file("data");
  fs::create_directories(home);
  RunningProgram program(
      {installed("bin/zelvo")}, scratch_.path(),
      {{"HOME", home}, {"XDG_DATA_HOME", dataHome}, {"QT_QPA_PLATFORM", "offscreen"}});
  ASSERT_GT(program.pid(), 0);
  // Start-up seeds the folder before it opens the window; then let the window come up.
  waitUntil([&] { return fs::exists(dataHome + "/zelvo/temp"); }, 30000, 50);
  std::this_thread::sleep_for(3s);
  if (!program.running()) FAIL() << "ended by itself:\n" << program.finish(0).err;
  ::kill(program.pid(), SIGTERM);
  const ProgramResult ended = program.finish(15000);
  EXPECT_EQ(ended.status, 0) << ended.err;

  for (const char* name : kStationFiles)
    EXPECT_EQ(fileBytes(dataHome + "/zelvo/" + name),
              fileBytes(installed("share/zelvo/shipped/") + name))
        << name;
  EXPECT_TRUE(fs::is_directory(dataHome + "/zelvo/temp"));
  // Nothing is written beside the installed program, though this user could.
  std::set<std::string> inBin;
  for (const auto& entry : fs::directory_iterator(installed("bin")))
    inBin.insert(entry.path().filename().string());
  EXPECT_EQ(inBin, std::set<std::string>{"zelvo"});
}

TEST_F(InstallTest, TheDebianPackageHoldsTheInstallAndDependsOnWhatTheProgramLinksAndLoads) {
  const Result pack = run({ZELVO_CPACK, "-G", "DEB", "--config",
                           ZELVO_BUILD_FOLDER "/CPackConfig.cmake", "-B", scratch_.path()},
                          scratch_.path(), 120s);
  ASSERT_EQ(pack.status, 0) << pack.output;
  std::string package;
  for (const auto& entry : fs::directory_iterator(scratch_.path()))
    if (entry.path().filename().string().starts_with("zelvo_" ZELVO_VERSION "_") &&
        entry.path().extension() == ".deb")
      package = entry.path().string();
  ASSERT_NE(package, "") << "no package zelvo_" ZELVO_VERSION "_<architecture>.deb\n"
                         << pack.output;
  const Result depends = run({"dpkg-deb", "--field", package, "Depends"}, scratch_.path());
  ASSERT_EQ(depends.status, 0) << depends.output;
  std::set<std::string> packages;
  std::istringstream list(depends.output);
  for (std::string item; std::getline(list, item, ',');) {
    const auto start = item.find_first_not_of(" \n");
    if (start != std::string::npos)
      packages.insert(item.substr(start, item.find_first_of(" \n", start) - start));
  }
  // The libraries the program links, found by dpkg-shlibdeps, and the plugins libVLC loads.
  for (const char* needed :
       {"libvlc5", "libmpv2", "libqt6widgets6", "libqt6webenginewidgets6",
        "libqt6webenginecore6-bin", "libx11-6", "vlc-plugin-base", "vlc-plugin-video-output"})
    EXPECT_TRUE(packages.count(needed)) << needed << " missing from: " << depends.output;

  const Result contents = run({"dpkg-deb", "--contents", package}, scratch_.path());
  const std::string modules = ZELVO_INSTALLED_MODULES "/";
  const std::string packaged[] = {"bin/zelvo",
                                  "share/zelvo/shipped/tv_lib.txt",
                                  kDesktopEntry,
                                  kIcon,
                                  kMetainfo,
                                  "share/doc/zelvo/copyright",
                                  modules + "window.so",
                                  modules + "vlc-player.so",
                                  modules + "mpv-player.so",
                                  modules + "browser.so",
                                  modules + "vlc-probe.so",
                                  modules + "mpv-probe.so",
                                  modules + "guide-reader.so"};
  for (const std::string& file : packaged)
    EXPECT_NE(contents.output.find(" ./usr/" + file + "\n"), std::string::npos) << file;
}

}  // namespace
}  // namespace zelvo::test

int main(int argc, char** argv) { return zelvo::test::runProgramTests(argc, argv); }
