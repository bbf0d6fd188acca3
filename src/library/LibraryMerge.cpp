#include "library/LibraryMerge.h"

#include <algorithm>
#include <unordered_set>

#include "library/StationLines.h"
#include "library/TextRules.h"

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
  size_t insertAt = lines.size();
  bool hasEndMarker = false;
  std::unordered_set<std::string> known;
  known.reserve(lines.size() + entries.size());
  for (size_t i = 0; i < lines.size(); ++i) {
    if (stopsLoader(lines[i].text, i)) {
      insertAt = std::min(insertAt, i);
      if (isEndMarker(lines[i].text)) {
        hasEndMarker = true;
        break;
      }
    }
    if (i >= insertAt) continue;
    if (auto station = readStationLine(lines[i].text)) {
      known.insert(keyOf(station->name, station->address));
      ++report.stationsInLibrary;
    }
  }

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
