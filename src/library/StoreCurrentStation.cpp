// Storing the current station in the library tv_lib.txt, in its place by score.
#include <algorithm>

#include "form/FormControls.h"
#include "library/StationFiles.h"
#include "library/TextRules.h"
#include "platform/Steps.h"

namespace zelvo {

void StationFiles::StoreCurrentStation() {
  const std::string name = x_.c.tvm.text();
  const std::string address = x_.c.dz1.text();

  std::string text;
  bool read = step([&] { text = x_.p.files.openForReading(x_.p.pathOf(kLibraryFile))->readAll(); });
  // A library that exists but cannot be read is left alone rather than replaced by one line.
  if (!read && guard([&] { return x_.p.files.fileExists(x_.p.pathOf(kLibraryFile)); })) return;
  std::vector<std::string> lines = splitLines(text);

  auto endMarker =
      std::find_if(lines.begin(), lines.end(), [](const std::string& l) { return isEndMarker(l); });
  lines.erase(endMarker, lines.end());

  double score = -999;
  const std::string key = name + "," + address;
  for (auto it = lines.begin(); it != lines.end(); ++it) {
    // Whole fields: the key must be followed by the comma before the score, or end the line.
    if (it->compare(0, key.size(), key) != 0 ||
        (it->size() > key.size() && (*it)[key.size()] != ','))
      continue;
    std::vector<std::string> fields = splitFields(*it);
    if (fields.size() >= 2 && fields[0] == name && fields[1] == address) {
      double old = fields.size() >= 3 ? parseNumber(fields[2]).value_or(0) : 0;
      score = old - 999;
      lines.erase(it);
      break;
    }
  }

  std::string newLine = name + "," + address + "," + formatNumber(score) + ",假,假";
  auto insertAt = std::find_if(lines.begin(), lines.end(), [score](const std::string& line) {
    std::vector<std::string> fields = splitFields(line);
    if (fields.size() < 3) return false;
    auto lineScore = parseNumber(fields[2]);
    return lineScore && roundHalfEven(*lineScore) <= score;
  });
  lines.insert(insertAt, newLine);
  lines.emplace_back("end");

  size_t firstText = lines.front().find_first_not_of(' ');
  lines.front().erase(0, firstText == std::string::npos ? lines.front().size() : firstText);

  step([&] {
    auto writer = x_.p.files.createTextFile(x_.p.pathOf(kLibraryFile));
    for (const std::string& line : lines) writer->writeLine(line);
    writer->close();
  });
}

}  // namespace zelvo
