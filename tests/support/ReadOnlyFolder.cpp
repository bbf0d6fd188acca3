#include "support/ReadOnlyFolder.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include "library/AppFolder.h"

namespace zelvo::test {

namespace fs = std::filesystem;

ReadOnlyFolder::ReadOnlyFolder(std::string path) : path_(std::move(path)) {
  fs::permissions(path_, fs::perms::owner_read | fs::perms::owner_exec);
  if (geteuid() == 0 && canCreateFilesIn(path_)) {
    immutable_ = std::system(("chattr +i '" + path_ + "' 2>/dev/null").c_str()) == 0;
  }
  active_ = !canCreateFilesIn(path_);
}

ReadOnlyFolder::~ReadOnlyFolder() {
  if (immutable_) (void)std::system(("chattr -i '" + path_ + "' 2>/dev/null").c_str());
  fs::permissions(path_, fs::perms::owner_all);
}

}  // namespace zelvo::test
