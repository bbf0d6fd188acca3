#include "support/GbkFiles.h"

#include <fstream>

#include "formats/TextRules.h"
#include "platform/posix/GbkCodec.h"
#include "support/TempFolder.h"

namespace zelvo::test {

void writeGbkLines(const std::string& path, const std::vector<std::string>& lines) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  for (const std::string& line : lines) out << utf8ToGbk(line) << "\r\n";
}

void writeGbkText(const std::string& path, const std::string& text) {
  std::ofstream(path, std::ios::binary | std::ios::trunc) << utf8ToGbk(text);
}

std::string readGbkText(const std::string& path) { return gbkToUtf8(fileBytes(path)); }

std::vector<std::string> readGbkLines(const std::string& path) {
  return splitLines(readGbkText(path));
}

}  // namespace zelvo::test
