#include "formats/StationLines.h"

#include <algorithm>

#include "formats/TextCase.h"
#include "formats/TextRules.h"

namespace zelvo {

std::optional<StationLine> readStationLine(std::string_view text) {
  std::string line(text);
  std::replace(line.begin(), line.end(), '\t', ' ');
  const size_t first = line.find(',');
  if (first == std::string::npos) return std::nullopt;
  const size_t second = line.find(',', first + 1);
  if (second == std::string::npos) return std::nullopt;
  if (first == 0 || second == first + 1) return std::nullopt;
  StationLine station{trimSpaces(std::string_view(line).substr(0, first)),
                      trimSpaces(std::string_view(line).substr(first + 1, second - first - 1))};
  if (containsIgnoringCase(station.address, "play\\temp")) return std::nullopt;
  return station;
}

std::optional<StationLine> readNameAddressLine(std::string_view text) {
  std::string line(text);
  std::replace(line.begin(), line.end(), '\t', ' ');
  const size_t comma = line.find(',');
  if (comma == std::string::npos) return std::nullopt;
  StationLine station{trimSpaces(std::string_view(line).substr(0, comma)),
                      trimSpaces(std::string_view(line).substr(comma + 1))};
  if (station.name.empty() || station.address.empty()) return std::nullopt;
  return station;
}

bool isSeparatorRow(const StationLine& station) {
  return station.name == kSeparatorRow && station.address == kSeparatorRow;
}

StationFileWalk walkStationFile(const std::function<bool(std::string&)>& nextLine,
                                const std::function<void(StationLine, size_t)>& station) {
  StationFileWalk walk;
  std::string line;
  size_t index = 0;
  for (; nextLine(line); ++index) {
    if (isEndMarker(line) || (index > 0 && line.empty())) {
      walk.stop =
          isEndMarker(line) ? StationFileWalk::Stop::EndMarker : StationFileWalk::Stop::EmptyLine;
      walk.stopIndex = index;
      return walk;
    }
    if (auto found = readStationLine(line)) {
      station(std::move(*found), index);
    } else if (!line.empty()) {
      ++walk.linesWithoutStation;
    }
  }
  walk.stopIndex = index;
  return walk;
}

}  // namespace zelvo
