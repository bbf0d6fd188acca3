// The file system beyond the station files, as recording uses it: the user's videos folder, the
// room left on a disk, and whole files made, measured, renamed and removed. Every operation that
// cannot be done throws PlatformFailure.
#pragma once

#include <cstdint>
#include <string>

namespace zelvo {

class FileSystem {
 public:
  virtual ~FileSystem() = default;
  // The user's videos folder: $XDG_VIDEOS_DIR, else the one named in user-dirs.dirs of the
  // user's configuration folder, else ~/Videos.
  virtual std::string videosFolder() = 0;
  // Makes the folder and those above it that are missing.
  virtual void makeFolders(const std::string& path) = 0;
  // The bytes the user may still write on the disk that holds the folder.
  virtual uintmax_t freeSpace(const std::string& folder) = 0;
  // Whether anything holds the name: a file, a folder, a link that leads nowhere.
  virtual bool exists(const std::string& path) = 0;
  // Makes an empty file, or empties the one there.
  virtual void createEmptyFile(const std::string& path) = 0;
  virtual uintmax_t fileSize(const std::string& path) = 0;
  // Gives the file another name in the same folder, over a file that holds it.
  virtual void rename(const std::string& from, const std::string& to) = 0;
  virtual void remove(const std::string& path) = 0;
};

}  // namespace zelvo
