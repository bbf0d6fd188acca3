// Where the station files live: beside the program, or a per-user folder seeded once; and
// the temporary files that killed writers left there, cleared at start-up.
#include <gtest/gtest.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>

#include "library/AppFolder.h"
#include "platform/posix/GbkTextFiles.h"
#include "support/ReadOnlyFolder.h"
#include "support/ScopedEnvironment.h"
#include "support/TempFolder.h"

namespace zelvo::test {
namespace {

TEST(AppFolder, AWritableProgramFolderIsTheApplicationFolder) {
  TempFolder program;
  EXPECT_EQ(resolveAppFolder(program.path()), program.path());
}

TEST(AppFolder, AnInstalledProgramUsesAUserFolderSeededOnce) {
  TempFolder program, dataHome;
  std::ofstream(program.file("tv_lib.txt")) << "shipped";
  std::ofstream(program.file("tv_lib_ss.txt")) << "candidates";
  ReadOnlyFolder readOnly(program.path());
  if (!readOnly.active()) GTEST_SKIP() << "this machine cannot make a folder read-only";
  ScopedEnvironment home("XDG_DATA_HOME", dataHome.path().c_str());

  const std::string user = resolveAppFolder(program.path());
  EXPECT_EQ(user, dataHome.file("zelvo"));
  EXPECT_EQ(fileBytes(user + "/tv_lib.txt"), "shipped");
  EXPECT_TRUE(std::filesystem::is_directory(user + "/temp"));

  // The user's own library is never replaced, and a removed file is not brought back.
  std::ofstream(user + "/tv_lib.txt") << "mine";
  std::filesystem::remove(user + "/tv_lib_ss.txt");
  EXPECT_EQ(resolveAppFolder(program.path()), user);
  EXPECT_EQ(fileBytes(user + "/tv_lib.txt"), "mine");
  EXPECT_FALSE(std::filesystem::exists(user + "/tv_lib_ss.txt"));
}

// A process id that no process has any longer.
pid_t goneProcess() {
  pid_t child = ::fork();
  if (child == 0) ::_exit(0);
  ::waitpid(child, nullptr, 0);
  return child;
}

// Lays out what `cmake --install` puts into prefix: the program and its shipped station files.
void installInto(const std::string& prefix, const std::string& library) {
  namespace fs = std::filesystem;
  fs::create_directories(prefix + "/bin");
  fs::create_directories(prefix + "/share/zelvo/shipped");
  std::ofstream(prefix + "/bin/zelvo") << "program";
  std::ofstream(prefix + "/share/zelvo/shipped/tv_lib.txt", std::ios::trunc) << library;
  std::ofstream(prefix + "/share/zelvo/shipped/tv_lib_ss.txt", std::ios::trunc) << "candidates";
  std::ofstream(prefix + "/share/zelvo/shipped/tv_lib_ss_jg_y.txt", std::ios::trunc) << "results";
}

TEST(AppFolder, AnInstalledProgramKeepsItsFilesInTheUserFolderSeededFromItsShippedFiles) {
  // The per-user folder is $XDG_DATA_HOME/zelvo. Installed with the prefix ~/.local, the
  // shipped files are inside it.
  for (const bool prefixIsDataHomesParent : {false, true}) {
    SCOPED_TRACE(prefixIsDataHomesParent ? "prefix ~/.local" : "prefix /usr");
    TempFolder root;
    const std::string prefix = root.file("prefix");
    const std::string dataHome = prefixIsDataHomesParent ? prefix + "/share" : root.file("data");
    ScopedEnvironment home("XDG_DATA_HOME", dataHome.c_str());
    installInto(prefix, "shipped");
    const std::string bin = prefix + "/bin";
    const std::string user = dataHome + "/zelvo";

    // The program's own folder is writable here, as it is for root, yet nothing goes there.
    EXPECT_EQ(resolveAppFolder(bin), user);
    EXPECT_EQ(fileBytes(user + "/tv_lib.txt"), "shipped");
    EXPECT_EQ(fileBytes(user + "/tv_lib_ss.txt"), "candidates");
    EXPECT_EQ(fileBytes(user + "/tv_lib_ss_jg_y.txt"), "results");
    EXPECT_TRUE(std::filesystem::is_directory(user + "/temp"));
    EXPECT_EQ(namesIn(bin), std::vector<std::string>{"zelvo"});

    // An update installs new shipped files; the user's own stay as the user left them.
    std::ofstream(user + "/tv_lib.txt", std::ios::trunc) << "mine";
    std::filesystem::remove(user + "/tv_lib_ss.txt");
    installInto(prefix, "shipped, newer");
    EXPECT_EQ(resolveAppFolder(bin), user);
    EXPECT_EQ(fileBytes(user + "/tv_lib.txt"), "mine");
    EXPECT_FALSE(std::filesystem::exists(user + "/tv_lib_ss.txt"));
  }
}

TEST(AppFolder, AFolderTheUserMadeBeforeZelvoFirstRanGetsOnlyTheShippedFilesItLacks) {
  TempFolder root, dataHome;
  ScopedEnvironment home("XDG_DATA_HOME", dataHome.path().c_str());
  installInto(root.file("prefix"), "shipped");
  const std::string user = dataHome.file("zelvo");
  std::filesystem::create_directories(user);
  std::ofstream(user + "/tv_lib.txt") << "brought along";

  EXPECT_EQ(resolveAppFolder(root.file("prefix/bin")), user);
  EXPECT_EQ(fileBytes(user + "/tv_lib.txt"), "brought along");
  EXPECT_EQ(fileBytes(user + "/tv_lib_ss.txt"), "candidates");
}

TEST(AppFolder, AWriterKilledHalfWayLeavesNothingAfterTheNextStart) {
  for (TempFileKind kind : {TempFileKind::UnnamedWhereSupported, TempFileKind::Named}) {
    TempFolder program;
    std::ofstream(program.file("tv_lib.txt")) << "old";
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t writer = ::fork();
    ASSERT_GE(writer, 0);
    if (writer == 0) {
      GbkTextFiles files(kind);
      auto file = files.createTextFile(program.file("tv_lib.txt"));
      for (int i = 0; i < 20000; ++i) file->writeLine("中央台,mms://a/" + std::to_string(i) + ",");
      (void)!::write(ready[1], "w", 1);
      for (;;) ::pause();
    }
    ::close(ready[1]);
    pollfd wait{ready[0], POLLIN, 0};
    const bool wrote = ::poll(&wait, 1, 30000) == 1;
    ::kill(writer, SIGKILL);
    ::waitpid(writer, nullptr, 0);
    ::close(ready[0]);
    ASSERT_TRUE(wrote);
    if (kind == TempFileKind::Named) {
      EXPECT_EQ(namesIn(program.path()).size(), 2u);  // what start-up finds
    }

    EXPECT_EQ(resolveAppFolder(program.path()), program.path());
    EXPECT_EQ(namesIn(program.path()), std::vector<std::string>{"tv_lib.txt"});
    EXPECT_EQ(fileBytes(program.file("tv_lib.txt")), "old");
  }
}

TEST(AppFolder, StartUpRemovesOnlyItsOwnTemporaryFilesOfProcessesThatAreGone) {
  const std::string gone = std::to_string(goneProcess());
  const std::string running = std::to_string(::getpid());
  struct Case {
    std::string name;
    bool removed;
  } cases[] = {
      {".tv_lib.txt.zelvo-" + gone + "-a1B2c3.tmp", true},
      {".wjmxd.zelvo-" + gone + "-zzzzzz.tmp", true},
      {".write-test.zelvo-" + gone + "-000000.tmp", true},
      {".tv_lib.txt.zelvo-" + running + "-a1B2c3.tmp", false},  // still being written
      {"tv_lib.txt.zelvo-" + gone + "-a1B2c3.tmp", false},      // not hidden: not ours
      {".tv_lib.txt.zelvo-" + gone + "-a1B2c.tmp", false},
      {".tv_lib.txt.zelvo-" + gone + "-a1B2c3.tmp.bak", false},
      {".tv_lib.txt.zelvo-" + gone + "-a1-2c3.tmp", false},
      {".tv_lib.txt.zelvo-0" + gone + "-a1B2c3.tmp", false},
      {".tv_lib.txt.zelvo--a1B2c3.tmp", false},
      {".tv_lib.txt.other-" + gone + "-a1B2c3.tmp", false},
      {"tv_lib.txt.tmp-a1B2c3", false},
      {".zelvo-" + gone + "-a1B2c3.tmp", false},
      {"tv_lib.txt", false},
  };
  TempFolder program;
  for (const Case& test : cases) std::ofstream(program.file(test.name)) << "x";
  // Folders and links with our names are not files we left.
  std::filesystem::create_directory(program.file(".dir.zelvo-" + gone + "-a1B2c3.tmp"));
  std::filesystem::create_symlink("tv_lib.txt",
                                  program.file(".link.zelvo-" + gone + "-a1B2c3.tmp"));

  resolveAppFolder(program.path());
  const std::vector<std::string> names = namesIn(program.path());
  const std::set<std::string> left(names.begin(), names.end());
  for (const Case& test : cases) EXPECT_EQ(left.count(test.name) == 0, test.removed) << test.name;
  EXPECT_EQ(left.size(), std::size(cases) - 3 + 2);
}

}  // namespace
}  // namespace zelvo::test
