// Replacing a file whole: the new content goes into a temporary file beside the one it replaces
// and takes its place only when complete, keeping the old file's permissions and links.
#pragma once

#include <sys/stat.h>

#include <string>
#include <string_view>

namespace zelvo {

enum class TempFileKind {
  // A file without a name (O_TMPFILE) that gets one only to be renamed over the old file, so
  // a killed process leaves nothing; a named file where the file system offers none.
  UnnamedWhereSupported,
  // Always a named file, which a killed process leaves behind until the next start-up.
  Named,
};

class FileReplacement {
 public:
  // Prepares to replace path, or the file it points to when it is a symbolic link. Fails when
  // that file is not a regular file or is read-only (no write permission at all, or none for
  // this user), even for root, or when no file can be created beside it.
  explicit FileReplacement(const std::string& path,
                           TempFileKind kind = TempFileKind::UnnamedWhereSupported);
  // Without commit() the old file stays as it was and the temporary file goes.
  ~FileReplacement();
  FileReplacement(const FileReplacement&) = delete;
  FileReplacement& operator=(const FileReplacement&) = delete;

  void write(std::string_view bytes);
  // Flushes the new content to disk, gives it the old file's owner, group and permission bits,
  // and renames it over the old file. On failure the old file stays.
  void commit();

 private:
  void keepOwnerAndMode();
  void giveName();
  void copyIntoNamedFile();
  void discardTemp();

  std::string target_;  // the file replaced, symbolic links followed
  std::string name_;    // its name in folderFd_
  int folderFd_ = -1;
  int fd_ = -1;
  std::string tempName_;  // empty while the temporary file has no name
  bool hadOld_ = false;
  struct stat old_ {};
};

}  // namespace zelvo
