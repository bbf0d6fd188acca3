// Where the station files live: beside the program, or a per-user folder seeded once.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "app/AppFolder.h"
#include "fakes/ReadOnlyFolder.h"
#include "fakes/TempFolder.h"

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
  const char* oldDataHome = std::getenv("XDG_DATA_HOME");
  std::string saved = oldDataHome ? oldDataHome : "";
  setenv("XDG_DATA_HOME", dataHome.path().c_str(), 1);

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

  if (oldDataHome)
    setenv("XDG_DATA_HOME", saved.c_str(), 1);
  else
    unsetenv("XDG_DATA_HOME");
}

}  // namespace
}  // namespace zelvo::test
