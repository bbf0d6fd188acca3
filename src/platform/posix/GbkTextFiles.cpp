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

// Lines are found in the file's bytes and decoded one by one: no GBK character holds a CR
// or LF byte, so the bytes of a line are the bytes of its text.
class FileReader : public TextReader {
 public:
  explicit FileReader(int fd) : fd_(fd) {}
  ~FileReader() override { closeFile(); }

  std::string readLine() override { return decode(nextLine(kMaxLineBytes)); }

  FileLine readLineAndBytes() override {
    FileLine line;
    line.bytes = nextLine(std::string::npos);
    line.text = decode(line.bytes);
    return line;
  }

  std::string readAll() override { return gbkToUtf8(restBytes()); }

  FileLine readAllAndBytes() override {
    FileLine rest;
    rest.bytes = restBytes();
    rest.text = decode(rest.bytes);
    return rest;
  }

  bool atEndOfStream() const override { return !fill(); }

  bool atEndOfLine() const override {
    if (atEndOfStream()) return true;
    char next = buffer_[pos_];
    return next == '\r' || next == '\n';
  }

  void close() override { closeFile(); }

 private:
  static std::string decode(std::string_view bytes) {
    std::string text;
    text.reserve(bytes.size() + bytes.size() / 2);  // a two-byte character takes three in UTF-8
    appendGbkAsUtf8(bytes, text, true);
    return text;
  }

  std::string restBytes() {
    std::string bytes;
    while (!atEndOfStream()) {
      bytes.append(buffer_, pos_);
      pos_ = buffer_.size();
    }
    return bytes;
  }

  void closeFile() const {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
  }

  // The bytes of the next line, at most cap of them, without its line end. The view stays
  // valid until the next read.
  std::string_view nextLine(size_t cap) {
    if (atEndOfStream()) fail("read past the end of the file");
    spill_.clear();
    for (;;) {
      const size_t end = lineEndFrom(pos_);
      const size_t length = end - pos_;
      if (end < buffer_.size()) {
        std::string_view line;
        if (spill_.empty()) {
          line = std::string_view(buffer_).substr(pos_, std::min(length, cap));
        } else {
          appendCapped(length, cap);
          line = spill_;
        }
        pos_ = end;
        skipLineEnd();
        return line;
      }
      appendCapped(length, cap);
      pos_ = buffer_.size();
      if (!fill()) return spill_;
    }
  }

  // CR LF, LF and a lone CR all end a line. A CR that ends the bytes read so far may still
  // be followed by the LF that starts the next read.
  void skipLineEnd() {
    if (buffer_[pos_++] != '\r') return;
    if (pos_ == buffer_.size())
      lfMayFollow_ = true;
    else if (buffer_[pos_] == '\n')
      ++pos_;
  }

  // The first CR or LF at or after from, or the size of the buffer.
  size_t lineEndFrom(size_t from) const {
    const char* begin = buffer_.data() + from;
    const size_t length = buffer_.size() - from;
    const void* lf = std::memchr(begin, '\n', length);
    const size_t lfAt = lf ? static_cast<size_t>(static_cast<const char*>(lf) - begin) : length;
    const void* cr = std::memchr(begin, '\r', lfAt);
    return from + (cr ? static_cast<size_t>(static_cast<const char*>(cr) - begin) : lfAt);
  }

  void appendCapped(size_t count, size_t cap) {
    const size_t room = spill_.size() < cap ? cap - spill_.size() : 0;
    spill_.append(buffer_, pos_, std::min(count, room));
  }

  // Reads the next bytes of the file once the buffer is used up. False at the end of the file.
  bool fill() const {
    while (pos_ >= buffer_.size()) {
      if (fd_ < 0) return false;
      buffer_.resize(kReadChunkBytes);
      pos_ = 0;
      ssize_t got;
      do {
        got = ::read(fd_, buffer_.data(), buffer_.size());
      } while (got < 0 && errno == EINTR);
      if (got < 0) {
        const std::string reason = std::strerror(errno);
        buffer_.clear();
        closeFile();
        fail("cannot read the file: " + reason);
      }
      buffer_.resize(static_cast<size_t>(got));
      if (got == 0) {
        closeFile();
        return false;
      }
      if (lfMayFollow_) {
        lfMayFollow_ = false;
        if (buffer_[0] == '\n') pos_ = 1;
      }
    }
    return true;
  }

  mutable int fd_;
  mutable std::string buffer_;
  mutable size_t pos_ = 0;
  mutable bool lfMayFollow_ = false;
  std::string spill_;  // a line that runs across reads
};

class AtomicWriter : public TextWriter {
 public:
  AtomicWriter(const std::string& path, TempFileKind kind) : file_(path, kind) {}

  void writeLine(const std::string& text) override {
    if (closed_) fail("the file is closed");
    appendUtf8AsGbk(text, buffer_);
    endLine();
  }

  void writeBytesLine(const std::string& bytes) override {
    if (closed_) fail("the file is closed");
    buffer_ += bytes;
    endLine();
  }

  void writeBytes(const std::string& bytes) override {
    if (closed_) fail("the file is closed");
    buffer_ += bytes;
  }

  void close() override {
    if (closed_) return;
    closed_ = true;
    file_.write(buffer_);
    file_.commit();
  }

 private:
  void endLine() {
    buffer_ += "\r\n";
    if (buffer_.size() >= kReadChunkBytes) {
      file_.write(buffer_);
      buffer_.clear();
    }
  }

  FileReplacement file_;
  std::string buffer_;
  bool closed_ = false;
};

// Opened without waiting, so that a pipe or a device by the file's name cannot hang the caller.
int openRegularFile(const std::string& path) {
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
  if (fd < 0) fail("cannot open " + path + ": " + std::strerror(errno));
  struct stat info {};
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    ::close(fd);
    fail("not a file: " + path);
  }
  ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  return fd;
}

}  // namespace

bool GbkTextFiles::fileExists(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

std::unique_ptr<TextReader> GbkTextFiles::openForReading(const std::string& path) {
  return std::make_unique<FileReader>(openRegularFile(path));
}

std::unique_ptr<TextWriter> GbkTextFiles::createTextFile(const std::string& path) {
  return std::make_unique<AtomicWriter>(path, tempFiles_);
}

void GbkTextFiles::copyFile(const std::string& source, const std::string& destination) {
  const int in = openRegularFile(source);
  try {
    FileReplacement copy(destination, tempFiles_);
    std::string chunk(kReadChunkBytes, '\0');
    for (;;) {
      ssize_t got = ::read(in, chunk.data(), chunk.size());
      if (got < 0 && errno == EINTR) continue;
      if (got < 0) fail("cannot read " + source + ": " + std::strerror(errno));
      if (got == 0) break;
      copy.write(std::string_view(chunk).substr(0, static_cast<size_t>(got)));
    }
    copy.commit();
  } catch (...) {
    ::close(in);
    throw;
  }
  ::close(in);
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

std::string GbkTextFiles::textAsStored(const std::string& text) {
  return gbkToUtf8(utf8ToGbk(text));
}

}  // namespace zelvo
