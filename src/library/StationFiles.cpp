#include "library/StationFiles.h"

#include <algorithm>

#include "app/FormControls.h"
#include "library/StationList.h"
#include "library/TextRules.h"
#include "platform/ComboBox.h"
#include "platform/Steps.h"

namespace zelvo {

namespace {

struct StationLine {
  std::string name;
  std::string address;
};

// A line gives a station when it has a name, an address and the comma that ends the address.
std::optional<StationLine> parseStationLine(const std::string& line) {
  size_t first = line.find(',');
  if (first == std::string::npos) return std::nullopt;
  size_t second = line.find(',', first + 1);
  if (second == std::string::npos) return std::nullopt;
  std::string name = line.substr(0, first);
  std::string address = line.substr(first + 1, second - first - 1);
  if (name.empty() || address.empty()) return std::nullopt;
  if (containsIgnoringCase(address, "play\\temp")) return std::nullopt;
  return StationLine{trimSpaces(name), trimSpaces(address)};
}

}  // namespace

void StationFiles::LoadStationFile(const std::string& fileName) {
  FormControls& c = x_.c;
  std::unique_ptr<TextWriter> echo;
  std::unique_ptr<TextReader> reader;
  step([&] { echo = x_.p.files.createTextFile(x_.p.pathOf(kLoadEchoFile)); });
  step([&] { reader = x_.p.files.openForReading(x_.p.pathOf(fileName)); });

  int n = stationRowCount(c);
  if (n > 0) {
    step([&] { addStationRow(c, kSeparatorRow, kSeparatorRow, n); });
    n = n + 1;
  }

  while (reader) {
    x_.p.loop.processPendingEvents();
    std::string line;
    if (!step([&] { line = reader->readLine(); })) break;
    for (char& ch : line) {
      if (ch != '\t') continue;
      ch = ' ';
      x_.p.loop.processPendingEvents();
    }
    if (isEndMarker(line)) break;

    if (auto station = parseStationLine(line)) {
      // Handlers that ran during the yields may have emptied the list under us.
      n = std::min(n, stationRowCount(c));
      if (step([&] { addStationRow(c, station->name, station->address, n); })) {
        if (echo)
          step([&] {
            echo->writeLine(station->name + "," + station->address + "," + std::to_string(n));
          });
        n = n + 1;
      }
    }
    bool more = false;
    step([&] { more = !reader->atEndOfStream() && !reader->atEndOfLine(); });
    if (!more) break;
  }

  if (reader) step([&] { reader->close(); });
  if (echo) step([&] { echo->close(); });
}

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
