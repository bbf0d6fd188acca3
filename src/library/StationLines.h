// A station file's lines as the loader sees them: which line gives which station, and where
// the loader stops reading. For the commands that read or extend station files outside the
// window.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace zelvo {

struct StationLine {
  std::string name;
  std::string address;
};

// Tabs count as spaces; the name stands before the first comma, the address between the first
// and the second, both without spaces around them. Nothing when the line gives no station.
std::optional<StationLine> readStationLine(std::string_view line);

// Whether the loader reads no further than the line at index: the end marker, or an empty
// line after the first.
bool stopsLoader(std::string_view line, size_t index);

// Whether the window plays the address as a numbered series: a number between its first two
// "%" signs.
bool isCounterTemplateAddress(std::string_view address);

}  // namespace zelvo
