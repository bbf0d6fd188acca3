#include "platform/posix/TempFileNames.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <random>

namespace zelvo {

namespace {

constexpr std::string_view kMarker = ".zelvo-";
constexpr std::string_view kSuffix = ".tmp";
constexpr size_t kRandomLength = 6;
// Room for the marker, the id and the suffix within a file name's 255 bytes.
constexpr size_t kMaxNamePart = 200;

bool isLetterOrDigit(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

std::string randomLetters() {
  static constexpr char kLetters[] =
      "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
  thread_local std::mt19937 generator{std::random_device{}()};
  std::uniform_int_distribution<size_t> pick(0, sizeof kLetters - 2);
  std::string letters(kRandomLength, ' ');
  for (char& c : letters) c = kLetters[pick(generator)];
  return letters;
}

bool processIsGone(pid_t pid) { return ::kill(pid, 0) != 0 && errno == ESRCH; }

}  // namespace

std::string tempNameFor(std::string_view fileName) {
  return "." + std::string(fileName.substr(0, kMaxNamePart)) + std::string(kMarker) +
         std::to_string(::getpid()) + "-" + randomLetters() + std::string(kSuffix);
}

std::optional<pid_t> tempFileWriter(std::string_view name) {
  if (name.size() < 1 + 1 + kMarker.size() + 1 + 1 + kRandomLength + kSuffix.size() ||
      name.front() != '.' || !name.ends_with(kSuffix))
    return std::nullopt;
  name.remove_suffix(kSuffix.size());
  for (char c : name.substr(name.size() - kRandomLength))
    if (!isLetterOrDigit(c)) return std::nullopt;
  name.remove_suffix(kRandomLength);
  if (!name.ends_with('-')) return std::nullopt;
  name.remove_suffix(1);
  const size_t marker = name.rfind(kMarker);
  if (marker == std::string_view::npos || marker < 2) return std::nullopt;
  const std::string_view digits = name.substr(marker + kMarker.size());
  pid_t pid = 0;
  auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), pid);
  if (error != std::errc() || end != digits.data() + digits.size() || pid <= 0 ||
      digits.front() == '0')
    return std::nullopt;
  return pid;
}

int createNamedTemp(int folderFd, std::string_view fileName, std::string& name) {
  for (int attempt = 0; attempt < 100; ++attempt) {
    name = tempNameFor(fileName);
    int fd = ::openat(folderFd, name.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  return -1;
}

void removeStaleTempFiles(const std::string& folder) {
  DIR* dir = ::opendir(folder.c_str());
  if (!dir) return;
  const int folderFd = ::dirfd(dir);
  while (const dirent* entry = ::readdir(dir)) {
    const std::optional<pid_t> writer = tempFileWriter(entry->d_name);
    if (!writer || *writer == ::getpid() || !processIsGone(*writer)) continue;
    struct stat info {};
    if (::fstatat(folderFd, entry->d_name, &info, AT_SYMLINK_NOFOLLOW) == 0 &&
        S_ISREG(info.st_mode))
      ::unlinkat(folderFd, entry->d_name, 0);
  }
  ::closedir(dir);
}

}  // namespace zelvo
