// Private runtime and cache folders for an integration test program, removed when it exits.
// The engines put sockets and caches there instead of in the user's home.
#include "support/TestEnvironment.h"

#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <vector>

namespace zelvo::test {

namespace {

struct FoldersRemovedAtExit {
  std::vector<std::string> paths;
  ~FoldersRemovedAtExit() {
    for (const auto& path : paths) {
      std::error_code ignored;
      std::filesystem::remove_all(path, ignored);
    }
  }
};

FoldersRemovedAtExit& createdFolders() {
  static FoldersRemovedAtExit folders;
  return folders;
}

std::string privateFolder(const std::string& purpose) {
  std::string pattern =
      (std::filesystem::temp_directory_path() / ("zelvo-" + purpose + "-XXXXXX")).string();
  if (!mkdtemp(pattern.data())) throw std::runtime_error("cannot create a folder for " + purpose);
  // Runtime folders must be private, or Qt and the engines refuse to use them.
  ::chmod(pattern.c_str(), 0700);
  createdFolders().paths.push_back(pattern);
  return pattern;
}

}  // namespace

void prepareTestEnvironment() {
  ::setenv("XDG_RUNTIME_DIR", privateFolder("runtime").c_str(), 1);
  ::setenv("XDG_CACHE_HOME", privateFolder("cache").c_str(), 1);
  ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
  ::setenv("ZELVO_MODULE_DIR", ZELVO_BUILD_MODULES, 0);
}

}  // namespace zelvo::test
