#include "AppFolder.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>

namespace zelvo {

namespace fs = std::filesystem;

namespace {

std::string userDataFolder() {
  const char* dataHome = std::getenv("XDG_DATA_HOME");
  if (dataHome && *dataHome) return std::string(dataHome) + "/zelvo";
  const char* home = std::getenv("HOME");
  return std::string(home && *home ? home : "/tmp") + "/.local/share/zelvo";
}

// Copies the shipped files the user folder does not have yet; the user's own are never touched.
void seedFrom(const fs::path& shipped, const fs::path& user) {
  std::error_code error;
  fs::create_directories(user / "temp", error);
  for (const char* name : {"tv_lib.txt", "tv_lib_ss.txt", "tv_lib_ss_jg_y.txt"}) {
    if (fs::exists(shipped / name, error) && !fs::exists(user / name, error)) {
      fs::copy_file(shipped / name, user / name, error);
    }
  }
}

}  // namespace

std::string resolveAppFolder(const std::string& programFolder) {
  if (::access(programFolder.c_str(), W_OK) == 0) return programFolder;
  std::string user = userDataFolder();
  seedFrom(programFolder, user);
  return user;
}

}  // namespace zelvo
