#include "fakes/FailingTextFiles.h"

#include "platform/Failure.h"

namespace zelvo::test {

namespace {

class FailingReader : public TextReader {
 public:
  FailingReader(std::unique_ptr<TextReader> real, FailingTextFiles& files)
      : real_(std::move(real)), files_(files) {}
  std::string readLine() override {
    files_.check(FileOperation::Read);
    return real_->readLine();
  }
  FileLine readLineAndBytes() override {
    files_.check(FileOperation::Read);
    return real_->readLineAndBytes();
  }
  std::string readAll() override {
    files_.check(FileOperation::Read);
    return real_->readAll();
  }
  FileLine readAllAndBytes() override {
    files_.check(FileOperation::Read);
    return real_->readAllAndBytes();
  }
  bool atEndOfStream() const override {
    files_.check(FileOperation::Read);
    return real_->atEndOfStream();
  }
  bool atEndOfLine() const override {
    files_.check(FileOperation::Read);
    return real_->atEndOfLine();
  }
  void close() override {
    files_.check(FileOperation::Close);
    real_->close();
  }

 private:
  std::unique_ptr<TextReader> real_;
  FailingTextFiles& files_;
};

class FailingWriter : public TextWriter {
 public:
  FailingWriter(std::unique_ptr<TextWriter> real, FailingTextFiles& files)
      : real_(std::move(real)), files_(files) {}
  void writeLine(const std::string& text) override {
    files_.check(FileOperation::Write);
    real_->writeLine(text);
  }
  void writeBytesLine(const std::string& bytes) override {
    files_.check(FileOperation::Write);
    real_->writeBytesLine(bytes);
  }
  void writeBytes(const std::string& bytes) override {
    files_.check(FileOperation::Write);
    real_->writeBytes(bytes);
  }
  void close() override {
    files_.check(FileOperation::Close);
    real_->close();
  }

 private:
  std::unique_ptr<TextWriter> real_;
  FailingTextFiles& files_;
};

}  // namespace

void FailingTextFiles::check(FileOperation operation) {
  auto it = succeeding_.find(operation);
  if (it == succeeding_.end()) return;
  if (it->second > 0) {
    --it->second;
    return;
  }
  fail("a file operation made to fail by the test");
}

bool FailingTextFiles::fileExists(const std::string& path) {
  check(FileOperation::Exists);
  return real.fileExists(path);
}

std::unique_ptr<TextReader> FailingTextFiles::openForReading(const std::string& path) {
  check(FileOperation::OpenForReading);
  return std::make_unique<FailingReader>(real.openForReading(path), *this);
}

std::unique_ptr<TextWriter> FailingTextFiles::createTextFile(const std::string& path) {
  check(FileOperation::Create);
  return std::make_unique<FailingWriter>(real.createTextFile(path), *this);
}

void FailingTextFiles::copyFile(const std::string& source, const std::string& destination) {
  check(FileOperation::Copy);
  real.copyFile(source, destination);
}

std::vector<FolderEntry> FailingTextFiles::listFiles(const std::string& folder) {
  check(FileOperation::List);
  return real.listFiles(folder);
}

}  // namespace zelvo::test
