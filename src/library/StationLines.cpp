#include "library/StationLines.h"

#include <algorithm>

#include "library/TextRules.h"
#include "platform/ComboBox.h"

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

bool stopsLoader(std::string_view line, size_t index) {
  return isEndMarker(line) || (index > 0 && line.empty());
}

bool isCounterTemplateAddress(std::string_view address) {
  const size_t first = address.find('%');
  if (first == std::string_view::npos) return false;
  const size_t second = address.find('%', first + 1);
  return second != std::string_view::npos &&
         parseNumber(address.substr(first + 1, second - first - 1)).has_value();
}

}  // namespace zelvo
