#include "library/LibraryMerge.h"

#include <algorithm>
#include <unordered_set>

#include "formats/StationLines.h"
#include "formats/TextRules.h"

namespace zelvo {

namespace {

// A name and an address joined by a character neither can hold in a station line.
std::string keyOf(const std::string& name, const std::string& address) {
  return name + '\n' + address;
}

std::vector<FileLine> readLibrary(TextFileService& files, const std::string& path) {
  std::vector<FileLine> lines;
  if (!files.fileExists(path)) return lines;
  std::unique_ptr<TextReader> reader = files.openForReading(path);
  while (!reader->atEndOfStream()) lines.push_back(reader->readLineAndBytes());
  reader->close();
  return lines;
}

}  // namespace

MergeReport mergeIntoLibrary(TextFileService& files, const std::string& libraryPath,
                             const std::vector<PlaylistEntry>& entries) {
  const std::vector<FileLine> lines = readLibrary(files, libraryPath);

  MergeReport report;
  std::unordered_set<std::string> known;
  known.reserve(lines.size() + entries.size());
  size_t next = 0;
  const StationFileWalk walk = walkStationFile(
      [&](std::string& line) {
        if (next == lines.size()) return false;
        line = lines[next++].text;
        return true;
      },
      [&](StationLine station, size_t) {
        known.insert(keyOf(station.name, station.address));
        ++report.stationsInLibrary;
      });
  const size_t insertAt = walk.stopIndex;
  // A library that stops at an empty line may still hold its end marker further down.
  const bool hasEndMarker =
      std::any_of(lines.begin() + static_cast<std::ptrdiff_t>(insertAt), lines.end(),
                  [](const FileLine& line) { return isEndMarker(line.text); });

  std::vector<std::string> newLines;
  for (const PlaylistEntry& entry : entries) {
    const std::string address = files.textAsStored(entry.address);
    if (address != entry.address) {
      report.addressesNotStorable.push_back(entry.address);
      continue;
    }
    const std::string name = files.textAsStored(entry.name);
    if (!known.insert(keyOf(name, address)).second) {
      ++report.alreadyThere;
      continue;
    }
    if (name != entry.name) report.namesLosingCharacters.push_back(entry.name);
    newLines.push_back(entry.name + "," + entry.address + ",-999,假,假");
  }
  report.added = static_cast<int>(newLines.size());
  report.stationsInLibrary += report.added;
  if (newLines.empty()) return report;

  std::unique_ptr<TextWriter> writer = files.createTextFile(libraryPath);
  for (size_t i = 0; i <= lines.size(); ++i) {
    if (i == insertAt) {
      for (const std::string& line : newLines) writer->writeLine(line);
    }
    if (i < lines.size()) writer->writeBytesLine(lines[i].bytes);
  }
  if (!hasEndMarker) writer->writeLine("end");
  writer->close();
  return report;
}

}  // namespace zelvo
