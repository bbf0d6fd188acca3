// A station file's lines as the loader sees them: which line gives which station, and where
// the loader stops reading. For the commands that read or extend station files outside the
// window, and for the window's own loader.
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace zelvo {

// The row put between the stations of two loaded files, in both lists.
inline constexpr const char* kSeparatorRow = "-------------";

struct StationLine {
  std::string name;
  std::string address;
};

// A separator row as a file holds it: the loader lists it, but it is no station.
bool isSeparatorRow(const StationLine& station);

// Tabs count as spaces; the name stands before the first comma, the address between the first
// and the second, both without spaces around them. Nothing when the line gives no station.
std::optional<StationLine> readStationLine(std::string_view line);

// A line of the short lists kept beside the library: "name,address". Tabs count as spaces, the
// first comma splits (the address may hold more), blanks around each part are dropped. Nothing
// when either part is empty.
std::optional<StationLine> readNameAddressLine(std::string_view line);

struct StationFileWalk {
  enum class Stop { EndOfFile, EndMarker, EmptyLine };
  Stop stop = Stop::EndOfFile;
  // The index of the line the loader stopped at: the end marker, or an empty line after the
  // first. At the end of the file, the number of lines read.
  size_t stopIndex = 0;
  // Lines before the stop that are neither empty nor a station.
  size_t linesWithoutStation = 0;
};

// Reads lines from nextLine (false when none is left) as the loader does and hands each station
// line, with its index, to station; reads no further than the loader would.
StationFileWalk walkStationFile(const std::function<bool(std::string&)>& nextLine,
                                const std::function<void(StationLine, size_t)>& station);

}  // namespace zelvo
