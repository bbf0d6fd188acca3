#include "app/AppFolder.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include "library/PositionFiles.h"
#include "library/StationFiles.h"

namespace zelvo {

namespace fs = std::filesystem;

namespace {

std::string userDataFolder() {
  const char* dataHome = std::getenv("XDG_DATA_HOME");
  if (dataHome && *dataHome) return std::string(dataHome) + "/zelvo";
  const char* home = std::getenv("HOME");
  return std::string(home && *home ? home : "/tmp") + "/.local/share/zelvo";
}

}  // namespace

bool canCreateFilesIn(const std::string& folder) {
  std::string probe = folder + "/.zelvo-write-test-XXXXXX";
  int fd = ::mkstemp(probe.data());
  if (fd < 0) return false;
  ::close(fd);
  ::unlink(probe.c_str());
  return true;
}

void seedUserFolder(const std::string& shippedFolder, const std::string& userFolder) {
  const fs::path shipped = shippedFolder;
  const fs::path user = userFolder;
  std::error_code error;
  fs::create_directories(user / kTempFolder, error);
  for (const char* name : {kLibraryFile, kCandidateFile, kDefaultResultFile}) {
    if (fs::exists(shipped / name, error) && !fs::exists(user / name, error)) {
      fs::copy_file(shipped / name, user / name, error);
    }
  }
}

std::string resolveAppFolder(const std::string& programFolder) {
  if (canCreateFilesIn(programFolder)) return programFolder;
  const std::string user = userDataFolder();
  std::error_code error;
  // Seeded once, when the folder is first made: what the user removes later stays removed.
  if (!fs::exists(user, error)) seedUserFolder(programFolder, user);
  return user;
}

}  // namespace zelvo
