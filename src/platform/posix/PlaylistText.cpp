#include "platform/posix/PlaylistText.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/Failure.h"
#include "platform/posix/GbkCodec.h"

namespace zelvo {

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

struct Utf8Check {
  size_t validBytes;  // the length of the valid prefix
  bool cutAtTheEnd;   // what follows it is the start of a character that the bytes cut off
};

// Overlong forms and surrogates count as broken.
Utf8Check checkUtf8(std::string_view bytes) {
  size_t i = 0;
  const size_t n = bytes.size();
  const auto b = [&](size_t k) { return static_cast<unsigned char>(bytes[k]); };
  while (i < n) {
    const unsigned lead = b(i);
    if (lead < 0x80) {
      ++i;
      continue;
    }
    size_t length;
    unsigned low = 0x80, high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
      length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
      length = 3;
      if (lead == 0xE0) low = 0xA0;
      if (lead == 0xED) high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
      length = 4;
      if (lead == 0xF0) low = 0x90;
      if (lead == 0xF4) high = 0x8F;
    } else {
      return {i, false};
    }
    for (size_t k = 1; k < length; ++k) {
      if (i + k >= n) return {i, true};
      const unsigned c = b(i + k);
      if (c < (k == 1 ? low : 0x80) || c > (k == 1 ? high : 0xBF)) return {i, false};
    }
    i += length;
  }
  return {n, false};
}

}  // namespace

std::string decodePlaylistBytes(std::string_view bytes) {
  if (bytes.starts_with(kByteOrderMark)) bytes.remove_prefix(kByteOrderMark.size());
  const Utf8Check utf8 = checkUtf8(bytes);
  if (utf8.validBytes == bytes.size() || utf8.cutAtTheEnd)
    return std::string(bytes.substr(0, utf8.validBytes));
  return gbkToUtf8(bytes);
}

std::string readPlaylistText(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
  if (fd < 0) fail(path + ": " + std::strerror(errno));
  struct stat info {};
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    ::close(fd);
    fail(path + ": not a file");
  }
  if (static_cast<unsigned long long>(info.st_size) > kMaxPlaylistBytes) {
    ::close(fd);
    fail(path + ": larger than " + std::to_string(kMaxPlaylistBytes >> 20) + " MB");
  }
  std::string bytes;
  bytes.resize(static_cast<size_t>(info.st_size));
  size_t got = 0;
  for (;;) {
    if (got == bytes.size()) bytes.resize(std::min(bytes.size() * 2 + 4096, kMaxPlaylistBytes + 1));
    const ssize_t n = ::read(fd, bytes.data() + got, bytes.size() - got);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      const std::string reason = std::strerror(errno);
      ::close(fd);
      fail(path + ": " + reason);
    }
    if (n == 0) break;
    got += static_cast<size_t>(n);
    if (got > kMaxPlaylistBytes) {
      ::close(fd);
      fail(path + ": larger than " + std::to_string(kMaxPlaylistBytes >> 20) + " MB");
    }
  }
  ::close(fd);
  bytes.resize(got);
  return decodePlaylistBytes(bytes);
}

}  // namespace zelvo
