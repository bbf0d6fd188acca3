#include "platform/posix/PosixFileSystem.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "platform/Failure.h"

namespace zelvo {

namespace {

namespace fs = std::filesystem;

std::string environment(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}

// The value of XDG_VIDEOS_DIR in a user-dirs.dirs file: a quoted absolute path or one under
// "$HOME/". Empty when the file does not name one.
std::string userDirsVideos(const std::string& file, const std::string& home) {
  std::ifstream in(file);
  std::string line;
  std::string found;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const std::string key = "XDG_VIDEOS_DIR=";
    if (line.rfind(key, 0) != 0) continue;
    std::string value = line.substr(key.size());
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
      value = value.substr(1, value.size() - 2);
    if (value.rfind("$HOME", 0) == 0) {
      value = home + value.substr(5);
    } else if (value.empty() || value.front() != '/') {
      continue;
    }
    found = value;
  }
  return found;
}

void check(const std::error_code& error, const std::string& what) {
  if (error) fail(what + ": " + error.message());
}

}  // namespace

std::string PosixFileSystem::videosFolder() {
  if (std::string set = environment("XDG_VIDEOS_DIR"); !set.empty()) return set;
  const std::string home = environment("HOME");
  std::string config = environment("XDG_CONFIG_HOME");
  if (config.empty()) config = home + "/.config";
  if (std::string named = userDirsVideos(config + "/user-dirs.dirs", home); !named.empty())
    return named;
  return home + "/Videos";
}

void PosixFileSystem::makeFolders(const std::string& path) {
  std::error_code error;
  fs::create_directories(path, error);
  check(error, "cannot make " + path);
}

uintmax_t PosixFileSystem::freeSpace(const std::string& folder) {
  std::error_code error;
  const fs::space_info space = fs::space(folder, error);
  check(error, "no free space known for " + folder);
  return space.available;
}

bool PosixFileSystem::exists(const std::string& path) {
  std::error_code error;
  const fs::file_status status = fs::symlink_status(path, error);
  if (status.type() == fs::file_type::not_found) return false;
  check(error, "cannot look at " + path);
  return true;
}

void PosixFileSystem::createEmptyFile(const std::string& path) {
  if (!std::ofstream(path, std::ios::binary)) fail("cannot make " + path);
}

uintmax_t PosixFileSystem::fileSize(const std::string& path) {
  std::error_code error;
  const uintmax_t size = fs::file_size(path, error);
  check(error, "no size of " + path);
  return size;
}

void PosixFileSystem::rename(const std::string& from, const std::string& to) {
  std::error_code error;
  fs::rename(from, to, error);
  check(error, "cannot rename " + from);
}

void PosixFileSystem::remove(const std::string& path) {
  std::error_code error;
  fs::remove(path, error);
  check(error, "cannot remove " + path);
}

}  // namespace zelvo
