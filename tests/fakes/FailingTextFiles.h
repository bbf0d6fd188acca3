// The real GBK text-file service with operations that a test can make fail, from a chosen
// call on: what the system does when a file cannot be opened, read, written or listed.
#pragma once

#include <map>

#include "platform/posix/GbkTextFiles.h"

namespace zelvo::test {

enum class FileOperation {
  Exists,
  OpenForReading,
  Read,  // every call on a reader but close()
  Create,
  Write,
  Close,  // of a reader or a writer
  Copy,
  List,
};

class FailingTextFiles : public TextFileService {
 public:
  // The operation succeeds callsBefore more times (on any file), then fails until healed.
  void failOn(FileOperation operation, int callsBefore = 0) {
    succeeding_[operation] = callsBefore;
  }
  void heal() { succeeding_.clear(); }
  // Throws PlatformFailure when the operation is to fail now.
  void check(FileOperation operation);

  bool fileExists(const std::string& path) override;
  std::unique_ptr<TextReader> openForReading(const std::string& path) override;
  std::unique_ptr<TextWriter> createTextFile(const std::string& path) override;
  void copyFile(const std::string& source, const std::string& destination) override;
  std::vector<FolderEntry> listFiles(const std::string& folder) override;
  std::string textAsStored(const std::string& text) override { return real.textAsStored(text); }

  GbkTextFiles real;

 private:
  std::map<FileOperation, int> succeeding_;
};

}  // namespace zelvo::test
