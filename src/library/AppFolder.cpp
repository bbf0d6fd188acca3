#include "library/AppFolder.h"

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

// Where an installed program's shipped station files are: a folder that exists only when the
// program was installed. The build gives the path from the program's folder, relative so an
// installed tree still works when it is moved to another prefix.
std::string installedShippedFolder(const std::string& programFolder) {
  return programFolder + "/" ZELVO_SHIPPED_FROM_PROGRAM;
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
  std::error_code error;
  const std::string installedShipped = installedShippedFolder(programFolder);
  const bool installed = fs::is_directory(installedShipped, error);
  if (installed || !canCreateFilesIn(programFolder)) {
    folder = userDataFolder();
    // Seeded once, when Zelvo first sets the folder up (seeding makes its temp folder): what
    // the user removes later stays removed. Installed with the prefix ~/.local, the folder
    // already exists then, holding only the shipped files' own folder.
    if (!fs::exists(fs::path(folder) / kTempFolder, error))
      seedUserFolder(installed ? installedShipped : programFolder, folder);
  }
  removeStaleTempFiles(folder);
  return folder;
}

}  // namespace zelvo
