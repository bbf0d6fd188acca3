// The text-file service on the local file system: GBK files with CR LF line ends, read as
// a stream and replaced atomically on write.
#pragma once

#include "platform/TextFiles.h"
#include "platform/posix/FileReplacement.h"

namespace zelvo {

class GbkTextFiles : public TextFileService {
 public:
  explicit GbkTextFiles(TempFileKind tempFiles = TempFileKind::UnnamedWhereSupported)
      : tempFiles_(tempFiles) {}
  bool fileExists(const std::string& path) override;
  std::unique_ptr<TextReader> openForReading(const std::string& path) override;
  std::unique_ptr<TextWriter> createTextFile(const std::string& path) override;
  void copyFile(const std::string& source, const std::string& destination) override;
  std::vector<FolderEntry> listFiles(const std::string& folder) override;
  std::string textAsStored(const std::string& text) override;

 private:
  TempFileKind tempFiles_;
};

// A line that readLine() gives is cut at this many bytes; the rest up to its line end is
// dropped, so a binary file cannot make one line fill the memory.
inline constexpr size_t kMaxLineBytes = 1 << 20;
// Files are read in pieces of this size.
inline constexpr size_t kReadChunkBytes = 1 << 16;

}  // namespace zelvo
