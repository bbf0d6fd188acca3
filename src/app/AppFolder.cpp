#include "app/AppFolder.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include "library/PositionFiles.h"
#include "library/StationFiles.h"
#include "platform/posix/TempFileNames.h"

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
  const int folderFd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (folderFd < 0) return false;
  // Named like every temporary file, so a probe that a kill interrupts is cleared up too.
  std::string probe;
  const int fd = createNamedTemp(folderFd, "write-test", probe);
  if (fd >= 0) {
    ::close(fd);
    ::unlinkat(folderFd, probe.c_str(), 0);
  }
  ::close(folderFd);
  return fd >= 0;
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
  std::string folder = programFolder;
  if (!canCreateFilesIn(programFolder)) {
    folder = userDataFolder();
    std::error_code error;
    // Seeded once, when the folder is first made: what the user removes later stays removed.
    if (!fs::exists(folder, error)) seedUserFolder(programFolder, folder);
  }
  removeStaleTempFiles(folder);
  return folder;
}

}  // namespace zelvo
