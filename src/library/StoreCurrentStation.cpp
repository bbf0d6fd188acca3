// Storing the current station in the library tv_lib.txt, in its place by score. The lines the
// store does not replace go back byte for byte, whatever encoding they were saved in.
#include <algorithm>

#include "form/FormControls.h"
#include "formats/TextRules.h"
#include "library/StationFiles.h"
#include "platform/Steps.h"

namespace zelvo {

namespace {

// Whole fields: the line starts with the name, a comma and the address, followed by the comma
// before the score or by the end of the line.
bool isRecordOf(const std::string& line, const std::string& key) {
  return line.compare(0, key.size(), key) == 0 &&
         (line.size() == key.size() || line[key.size()] == ',');
}

std::string_view thirdField(std::string_view line) {
  size_t first = line.find(',');
  size_t second = first == std::string_view::npos ? first : line.find(',', first + 1);
  if (second == std::string_view::npos) return {};
  size_t third = line.find(',', second + 1);
  return line.substr(second + 1, third == std::string_view::npos ? third : third - second - 1);
}

std::optional<double> scoreOf(std::string_view line) { return parseNumber(thirdField(line)); }

void dropLeadingSpaces(std::string& text) {
  text.erase(0, std::min(text.find_first_not_of(' '), text.size()));
}

}  // namespace

void StationFiles::StoreCurrentStation() {
  const std::string name = x_.c.tvm.text();
  const std::string address = x_.c.dz1.text();
  const std::string libraryPath = x_.p.pathOf(kLibraryFile);

  std::vector<FileLine> lines;
  std::unique_ptr<TextReader> reader;
  bool read = step([&] {
    reader = x_.p.files.openForReading(libraryPath);
    while (!reader->atEndOfStream()) lines.push_back(reader->readLineAndBytes());
  });
  if (reader) step([&] { reader->close(); });
  // A library that exists but cannot be read whole is left alone rather than cut short.
  if (!read && guard([&] { return x_.p.files.fileExists(libraryPath); })) return;
  if (!read) lines.clear();

  size_t endMarker =
      static_cast<size_t>(std::find_if(lines.begin(), lines.end(),
                                       [](const FileLine& l) { return isEndMarker(l.text); }) -
                          lines.begin());

  // The record counts wherever it stands, after the end marker too.
  double score = -999;
  const std::string key = name + "," + address;
  // A name or address with a comma in it cannot be a field of any line.
  const bool canMatch = std::count(key.begin(), key.end(), ',') == 1;
  for (size_t i = 0; canMatch && i < lines.size(); ++i) {
    if (!isRecordOf(lines[i].text, key)) continue;
    if (std::optional<double> old = scoreOf(lines[i].text)) score = *old - 999;
    lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(i));
    if (i < endMarker) --endMarker;
    break;
  }
  lines.resize(endMarker);

  const std::string newLine = name + "," + address + "," + formatNumber(score) + ",假,假";
  const size_t insertAt =
      static_cast<size_t>(std::find_if(lines.begin(), lines.end(),
                                       [score](const FileLine& line) {
                                         std::optional<double> lineScore = scoreOf(line.text);
                                         return lineScore && roundHalfEven(*lineScore) <= score;
                                       }) -
                          lines.begin());

  step([&] {
    auto writer = x_.p.files.createTextFile(libraryPath);
    // Spaces at the start of the library's text are dropped, whichever line comes first.
    for (size_t i = 0; i <= lines.size(); ++i) {
      if (i == insertAt) {
        std::string text = newLine;
        if (i == 0) dropLeadingSpaces(text);
        writer->writeLine(text);
      }
      if (i == lines.size()) break;
      if (i == 0 && insertAt != 0) dropLeadingSpaces(lines[i].bytes);
      writer->writeBytesLine(lines[i].bytes);
    }
    writer->writeLine("end");
    writer->close();
  });
}

}  // namespace zelvo
