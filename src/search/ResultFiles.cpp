#include "search/ResultFiles.h"

#include <string_view>

#include "form/FormControls.h"
#include "library/StationFiles.h"
#include "platform/Steps.h"

namespace zelvo {

void ResultFiles::AppendWebFind(const std::string& record) { append(kWebResultFile, record); }

void ResultFiles::AppendScanFind(const std::string& text) { append(kScanResultFile, text); }

namespace {
// Whether one of the text's lines, without its line end, is exactly the line.
bool holdsLine(const std::string& text, const std::string& line) {
  for (size_t start = 0; start <= text.size();) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string_view candidate(text.data() + start, end - start);
    if (!candidate.empty() && candidate.back() == '\r') candidate.remove_suffix(1);
    if (candidate == line) return true;
    start = end + 1;
  }
  return false;
}
}  // namespace

// A file that exists but cannot be read gives false: the caller then leaves it as it is.
bool ResultFiles::readWhole(const std::string& path, FileLine& old) {
  TextFileService& files = x_.p.files;
  try {
    if (!files.fileExists(path)) return true;
    auto reader = files.openForReading(path);
    old = reader->readAllAndBytes();
    reader->close();
    return true;
  } catch (const std::exception&) {
    return false;
  }
}

// The only duplicate test is whether the record occurs anywhere in the file's text. The old
// bytes go back unchanged and the record follows them directly, so a last line without its
// line end gets the record on that same line. The file is replaced whole, never half-written.
void ResultFiles::append(const char* fileName, const std::string& record) {
  if (record.empty()) return;
  const std::string path = x_.p.pathOf(fileName);
  FileLine old;
  if (!readWhole(path, old) || old.text.find(record) != std::string::npos) return;
  step([&] {
    auto writer = x_.p.files.createTextFile(path);
    writer->writeBytes(old.bytes);
    writer->writeLine(record);
    writer->close();
  });
}

// Saving never throws a find away: the lines already in the file stay, byte for byte, and
// Text2's record joins them as a line of its own unless one of them is that record already.
void ResultFiles::SaveScanText() {
  const std::string record = x_.c.Text2.text();
  if (record.empty()) return;
  TextFileService& files = x_.p.files;
  const std::string path = x_.p.pathOf(kScanResultFile);
  FileLine old;
  if (!readWhole(path, old)) return;
  std::string stored = record;
  step([&] { stored = files.textAsStored(record); });
  if (holdsLine(old.text, stored)) return;
  step([&] {
    auto writer = files.createTextFile(path);
    writer->writeBytes(old.bytes);
    if (!old.bytes.empty() && old.bytes.back() != '\n') writer->writeBytes("\r\n");
    writer->writeLine(record);
    writer->close();
  });
}

void ResultFiles::RestoreScanDefaults() {
  step([&] { x_.p.files.copyFile(x_.p.pathOf(kDefaultResultFile), x_.p.pathOf(kScanResultFile)); });
}

}  // namespace zelvo
