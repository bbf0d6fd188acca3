#include "platform/posix/FileReplacement.h"

#include <fcntl.h>
#include <limits.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/Failure.h"
#include "platform/posix/TempFileNames.h"

namespace zelvo {

namespace {

std::string errorText() { return std::strerror(errno); }

std::string readLink(const std::string& path) {
  std::string target(PATH_MAX, '\0');
  for (;;) {
    ssize_t length = ::readlink(path.c_str(), target.data(), target.size());
    if (length < 0) fail("cannot read the link " + path + ": " + errorText());
    if (static_cast<size_t>(length) < target.size()) {
      target.resize(static_cast<size_t>(length));
      return target;
    }
    target.resize(target.size() * 2);
  }
}

// The file that path stands for: the end of its chain of symbolic links, which need not
// exist yet (writing through a dangling link creates the file it names).
std::string followLinks(std::string path) {
  for (int hops = 0; hops < 40; ++hops) {
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return path;
    std::string target = readLink(path);
    if (target.empty()) fail("an empty link " + path);
    if (target.front() != '/') {
      const size_t slash = path.rfind('/');
      if (slash != std::string::npos) target = path.substr(0, slash + 1) + target;
    }
    path = std::move(target);
  }
  fail("too many levels of links at " + path);
}

bool writeAll(int fd, const char* data, size_t size) {
  while (size > 0) {
    ssize_t wrote = ::write(fd, data, size);
    if (wrote < 0 && errno == EINTR) continue;
    if (wrote <= 0) return false;
    data += wrote;
    size -= static_cast<size_t>(wrote);
  }
  return true;
}

}  // namespace

FileReplacement::FileReplacement(const std::string& path, TempFileKind kind)
    : target_(followLinks(path)) {
  const size_t slash = target_.rfind('/');
  const std::string folder = slash == std::string::npos ? "." : target_.substr(0, slash + 1);
  name_ = slash == std::string::npos ? target_ : target_.substr(slash + 1);
  if (name_.empty() || name_ == "." || name_ == "..") fail("not a file name: " + path);

  folderFd_ = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (folderFd_ < 0) fail("no folder for " + path + ": " + errorText());
  try {
    if (::fstatat(folderFd_, name_.c_str(), &old_, AT_SYMLINK_NOFOLLOW) == 0) {
      hadOld_ = true;
      if (!S_ISREG(old_.st_mode)) fail("not a regular file: " + target_);
      // Root may write anything; a file without any write permission is meant to stay as it is.
      if ((old_.st_mode & 0222) == 0 ||
          ::faccessat(folderFd_, name_.c_str(), W_OK, AT_EACCESS) != 0)
        fail("the file is read-only: " + target_);
    } else if (errno != ENOENT) {
      fail("cannot look at " + target_ + ": " + errorText());
    }
    if (kind == TempFileKind::UnnamedWhereSupported)
      fd_ = ::openat(folderFd_, ".", O_TMPFILE | O_RDWR | O_CLOEXEC, 0666);
    if (fd_ < 0) fd_ = createNamedTemp(folderFd_, name_, tempName_);
    if (fd_ < 0) fail("cannot create a file beside " + target_ + ": " + errorText());
  } catch (...) {
    ::close(folderFd_);
    throw;
  }
}

FileReplacement::~FileReplacement() {
  discardTemp();
  ::close(folderFd_);
}

void FileReplacement::discardTemp() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
  if (!tempName_.empty()) ::unlinkat(folderFd_, tempName_.c_str(), 0);
  tempName_.clear();
}

void FileReplacement::write(std::string_view bytes) {
  if (fd_ < 0) fail("the replacement of " + target_ + " is over");
  if (!writeAll(fd_, bytes.data(), bytes.size())) {
    const std::string reason = errorText();
    discardTemp();
    fail("cannot write " + target_ + ": " + reason);
  }
}

void FileReplacement::commit() {
  if (fd_ < 0) fail("the replacement of " + target_ + " is over");
  if (hadOld_) keepOwnerAndMode();
  if (::fdatasync(fd_) != 0) {
    const std::string reason = errorText();
    discardTemp();
    fail("cannot write " + target_ + ": " + reason);
  }
  if (tempName_.empty()) giveName();
  if (::renameat(folderFd_, tempName_.c_str(), folderFd_, name_.c_str()) != 0) {
    const std::string reason = errorText();
    discardTemp();
    fail("cannot replace " + target_ + ": " + reason);
  }
  tempName_.clear();
  ::close(fd_);
  fd_ = -1;
  // The folder is not flushed: after a power cut the rename may be undone, but the old file is
  // whole, and flushing it would cost every start-up one journal commit per file written.
}

void FileReplacement::keepOwnerAndMode() {
  struct stat now {};
  if (::fstat(fd_, &now) != 0) return;
  // Owner and group only where the process may set them: root may, a user only the group.
  if (now.st_uid != old_.st_uid || now.st_gid != old_.st_gid) {
    if (::fchown(fd_, old_.st_uid, old_.st_gid) != 0) (void)::fchown(fd_, -1, old_.st_gid);
  }
  ::fchmod(fd_, old_.st_mode & 07777);
}

// Links the unnamed file into the folder under a temporary name, ready to be renamed. Where
// the system offers no way to link it, its content is copied into a named file instead.
void FileReplacement::giveName() {
  const std::string self = "/proc/self/fd/" + std::to_string(fd_);
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::string name = tempNameFor(name_);
    bool linked = ::linkat(AT_FDCWD, self.c_str(), folderFd_, name.c_str(), AT_SYMLINK_FOLLOW) == 0;
    if (!linked && errno != EEXIST)
      linked = ::linkat(fd_, "", folderFd_, name.c_str(), AT_EMPTY_PATH) == 0;
    if (linked) {
      tempName_ = std::move(name);
      return;
    }
    if (errno != EEXIST) break;
  }
  copyIntoNamedFile();
}

void FileReplacement::copyIntoNamedFile() {
  std::string name;
  const int named = createNamedTemp(folderFd_, name_, name);
  if (named < 0) {
    const std::string reason = errorText();
    discardTemp();
    fail("cannot create a file beside " + target_ + ": " + reason);
  }
  const int unnamed = fd_;
  fd_ = named;
  tempName_ = std::move(name);
  bool copied = true;
  char chunk[65536];
  for (off_t offset = 0;;) {
    ssize_t got = ::pread(unnamed, chunk, sizeof chunk, offset);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) {
      copied = got == 0;
      break;
    }
    if (!writeAll(named, chunk, static_cast<size_t>(got))) {
      copied = false;
      break;
    }
    offset += got;
  }
  if (copied && hadOld_) keepOwnerAndMode();
  copied = copied && ::fdatasync(named) == 0;
  const std::string reason = errorText();
  ::close(unnamed);
  if (!copied) {
    discardTemp();
    fail("cannot write " + target_ + ": " + reason);
  }
}

}  // namespace zelvo
