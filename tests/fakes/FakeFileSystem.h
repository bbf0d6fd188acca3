// The file system recording sees, in memory: folders, files with their bytes, the free space of
// the disk, and folders that take no file.
#pragma once

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/FileSystem.h"

namespace zelvo::test {

class FakeFileSystem final : public FileSystem {
 public:
  std::string videosFolder() override { return videos; }
  void makeFolders(const std::string& path) override;
  uintmax_t freeSpace(const std::string&) override { return freeBytes; }
  bool exists(const std::string& path) override;
  void createEmptyFile(const std::string& path) override;
  uintmax_t fileSize(const std::string& path) override;
  void rename(const std::string& from, const std::string& to) override;
  void remove(const std::string& path) override;

  // Appends to a file, making it, as a player writing a recording does.
  void append(const std::string& path, const std::string& bytes) { files[path] += bytes; }
  // The names of the files in the folder, sorted.
  std::vector<std::string> filesIn(const std::string& folder) const;

  std::string videos = "/home/user/视频";
  uintmax_t freeBytes = uintmax_t(1) << 40;
  std::set<std::string> folders{"/"};
  std::set<std::string> readOnly;  // folders that take no new file
  std::map<std::string, std::string> files;
};

}  // namespace zelvo::test
