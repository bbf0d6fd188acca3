// The "name,address" files beside the library (favourites, recent stations): read with the
// lines that give no station kept byte for byte, and written whole.
#pragma once

#include <string>
#include <vector>

#include "library/StationRef.h"
#include "platform/TextFiles.h"

namespace zelvo {

struct StationRefFile {
  std::vector<StationRef> stations;
  // The bytes of lines that are not "name,address" or not valid GBK, in their order.
  std::vector<std::string> unreadLines;
  // False when reading stopped before the end: the file holds more than was read.
  bool complete = true;
};

// Whether a line of the file gives the station back: both parts present, no comma in the name,
// no line break in either.
bool fitsStationRefFile(const StationRef& station);

// A missing file reads as empty. Fails (PlatformFailure) when the file cannot be opened.
StationRefFile readStationRefFile(TextFileService& files, const std::string& path);
// Replaces the file: the stations, then the unread lines as they were. Fails like the writer.
void writeStationRefFile(TextFileService& files, const std::string& path,
                         const std::vector<StationRef>& stations,
                         const std::vector<std::string>& unreadLines);

}  // namespace zelvo
