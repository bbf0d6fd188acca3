#include "search/ResultFiles.h"

#include "form/FormControls.h"
#include "library/StationFiles.h"
#include "platform/Steps.h"

namespace zelvo {

void ResultFiles::AppendWebFind(const std::string& record) { append(kWebResultFile, record); }

void ResultFiles::AppendScanFind(const std::string& text) { append(kScanResultFile, text); }

// The only duplicate test is whether the record occurs anywhere in the file's text. The old
// bytes go back unchanged and the record follows them directly, so a last line without its
// line end gets the record on that same line. The file is replaced whole, never half-written.
void ResultFiles::append(const char* fileName, const std::string& record) {
  if (record.empty()) return;
  TextFileService& files = x_.p.files;
  const std::string path = x_.p.pathOf(fileName);
  FileLine old;
  try {
    if (files.fileExists(path)) {
      auto reader = files.openForReading(path);
      old = reader->readAllAndBytes();
      reader->close();
      if (old.text.find(record) != std::string::npos) return;
    }
  } catch (const std::exception&) {
    return;  // a file that cannot be read stays as it is
  }
  step([&] {
    auto writer = files.createTextFile(path);
    writer->writeBytes(old.bytes);
    writer->writeLine(record);
    writer->close();
  });
}

void ResultFiles::SaveScanText() {
  step([&] {
    auto writer = x_.p.files.createTextFile(x_.p.pathOf(kScanResultFile));
    writer->writeLine(x_.c.Text2.text());
    writer->close();
  });
}

void ResultFiles::RestoreScanDefaults() {
  step([&] { x_.p.files.copyFile(x_.p.pathOf(kDefaultResultFile), x_.p.pathOf(kScanResultFile)); });
}

}  // namespace zelvo
