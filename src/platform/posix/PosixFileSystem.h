// The file system of the machine, through the standard library.
#pragma once

#include "platform/FileSystem.h"

namespace zelvo {

class PosixFileSystem final : public FileSystem {
 public:
  std::string videosFolder() override;
  void makeFolders(const std::string& path) override;
  uintmax_t freeSpace(const std::string& folder) override;
  bool exists(const std::string& path) override;
  void createEmptyFile(const std::string& path) override;
  uintmax_t fileSize(const std::string& path) override;
  void rename(const std::string& from, const std::string& to) override;
  void remove(const std::string& path) override;
};

}  // namespace zelvo
