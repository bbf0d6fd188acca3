#include "platform/posix/GbkTextFiles.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>

#include "platform/Failure.h"
#include "platform/posix/GbkCodec.h"

namespace zelvo {

namespace {

class FileReader : public TextReader {
 public:
  explicit FileReader(int fd) : fd_(fd) {}
  ~FileReader() override { closeFile(); }

  std::string readLine() override {
    if (atEndOfStream()) fail("read past the end of the file");
    std::string line;
    for (;;) {
      size_t end = lineEndFrom(pos_);
      if (end < text_.size()) {
        appendCapped(line, end - pos_);
        pos_ = end;
        // CR LF, LF and a lone CR all end a line; a CR at the very end of a chunk may
        // still be followed by the LF of the next one.
        if (text_[pos_] == '\r') {
          ++pos_;
          if (pos_ == text_.size()) fill();
          if (pos_ < text_.size() && text_[pos_] == '\n') ++pos_;
        } else {
          ++pos_;
        }
        return line;
      }
      appendCapped(line, text_.size() - pos_);
      pos_ = text_.size();
      if (!fill()) return line;
    }
  }

  std::string readAll() override {
    std::string rest;
    for (;;) {
      rest.append(text_, pos_, std::string::npos);
      pos_ = text_.size();
      if (!fill()) return rest;
    }
  }

  bool atEndOfStream() const override { return pos_ >= text_.size() && !fill(); }

  bool atEndOfLine() const override {
    if (atEndOfStream()) return true;
    char next = text_[pos_];
    return next == '\r' || next == '\n';
  }

  void close() override { closeFile(); }
  void closeFile() const {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
  }

 private:
  // The first CR or LF at or after from, or the size of the text.
  size_t lineEndFrom(size_t from) const {
    const char* begin = text_.data() + from;
    const size_t length = text_.size() - from;
    const void* lf = std::memchr(begin, '\n', length);
    const size_t lfAt = lf ? static_cast<size_t>(static_cast<const char*>(lf) - begin) : length;
    const void* cr = std::memchr(begin, '\r', lfAt);
    return from + (cr ? static_cast<size_t>(static_cast<const char*>(cr) - begin) : lfAt);
  }

  void appendCapped(std::string& line, size_t count) {
    size_t room = line.size() < kMaxLineBytes ? kMaxLineBytes - line.size() : 0;
    line.append(text_, pos_, std::min(count, room));
  }

  // Decodes the next chunk of the file after the text already consumed. False at the end.
  bool fill() const {
    if (pos_ < text_.size()) return true;
    text_.clear();
    pos_ = 0;
    while (fd_ >= 0 && text_.empty()) {
      char chunk[65536];
      ssize_t got = ::read(fd_, chunk, sizeof chunk);
      if (got < 0 && errno == EINTR) continue;
      bool last = got <= 0;
      if (got > 0) carry_.append(chunk, static_cast<size_t>(got));
      size_t left = appendGbkAsUtf8(carry_, text_, last);
      carry_.erase(0, carry_.size() - left);
      if (last) closeFile();
    }
    return !text_.empty();
  }

  mutable int fd_;
  mutable std::string carry_;
  mutable std::string text_;
  mutable size_t pos_ = 0;
};

class AtomicWriter : public TextWriter {
 public:
  AtomicWriter(std::string path, std::string tempPath, int fd)
      : path_(std::move(path)), tempPath_(std::move(tempPath)), fd_(fd) {}
  ~AtomicWriter() override {
    if (fd_ >= 0) {
      ::close(fd_);
      ::unlink(tempPath_.c_str());
    }
  }

  void writeLine(const std::string& text) override {
    if (fd_ < 0) fail("the file is closed");
    appendUtf8AsGbk(text, buffer_);
    buffer_ += "\r\n";
    if (buffer_.size() >= 65536) flush();
  }

  void close() override {
    if (fd_ < 0) return;
    flush();
    bool synced = ::fdatasync(fd_) == 0;
    int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0 || !synced || ::rename(tempPath_.c_str(), path_.c_str()) != 0) {
      ::unlink(tempPath_.c_str());
      fail("cannot write " + path_);
    }
  }

 private:
  void flush() {
    size_t done = 0;
    while (done < buffer_.size()) {
      ssize_t wrote = ::write(fd_, buffer_.data() + done, buffer_.size() - done);
      if (wrote < 0 && errno == EINTR) continue;
      if (wrote <= 0) {
        ::close(fd_);
        fd_ = -1;
        ::unlink(tempPath_.c_str());
        fail("cannot write " + path_ + ": " + std::strerror(errno));
      }
      done += static_cast<size_t>(wrote);
    }
    buffer_.clear();
  }

  std::string path_;
  std::string tempPath_;
  int fd_;
  std::string buffer_;
};

// A new file beside path, readable like any file the user creates.
std::pair<std::string, int> createTempBeside(const std::string& path) {
  std::string temp = path + ".tmp-XXXXXX";
  int fd = ::mkstemp(temp.data());
  if (fd < 0) fail("cannot create a file beside " + path + ": " + std::strerror(errno));
  mode_t mask = ::umask(0);
  ::umask(mask);
  ::fchmod(fd, 0666 & ~mask);
  return {temp, fd};
}

}  // namespace

bool GbkTextFiles::fileExists(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

std::unique_ptr<TextReader> GbkTextFiles::openForReading(const std::string& path) {
  if (!fileExists(path)) fail("no file " + path);
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) fail("cannot open " + path + ": " + std::strerror(errno));
  return std::make_unique<FileReader>(fd);
}

std::unique_ptr<TextWriter> GbkTextFiles::createTextFile(const std::string& path) {
  auto [temp, fd] = createTempBeside(path);
  return std::make_unique<AtomicWriter>(path, temp, fd);
}

void GbkTextFiles::copyFile(const std::string& source, const std::string& destination) {
  int in = ::open(source.c_str(), O_RDONLY | O_CLOEXEC);
  if (in < 0) fail("cannot open " + source);
  auto [temp, out] = createTempBeside(destination);
  char chunk[65536];
  bool ok = true;
  for (;;) {
    ssize_t got = ::read(in, chunk, sizeof chunk);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) {
      ok = got == 0;
      break;
    }
    for (ssize_t done = 0; ok && done < got;) {
      ssize_t wrote = ::write(out, chunk + done, static_cast<size_t>(got - done));
      if (wrote < 0 && errno == EINTR) continue;
      ok = wrote > 0;
      done += std::max<ssize_t>(wrote, 0);
    }
    if (!ok) break;
  }
  ::close(in);
  ok = ::fdatasync(out) == 0 && ok;
  ok = ::close(out) == 0 && ok;
  if (!ok || ::rename(temp.c_str(), destination.c_str()) != 0) {
    ::unlink(temp.c_str());
    fail("cannot copy " + source + " to " + destination);
  }
}

std::vector<FolderEntry> GbkTextFiles::listFiles(const std::string& folder) {
  std::error_code error;
  std::filesystem::directory_iterator it(folder, error);
  if (error) fail("no folder " + folder);
  std::vector<FolderEntry> entries;
  for (const auto& entry : it) {
    if (!entry.is_regular_file(error)) continue;
    entries.push_back({entry.path().filename().string(), entry.path().string()});
  }
  std::sort(entries.begin(), entries.end(),
            [](const FolderEntry& a, const FolderEntry& b) { return a.name < b.name; });
  return entries;
}

}  // namespace zelvo
