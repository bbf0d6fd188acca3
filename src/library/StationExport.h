// Exporting a station file as an extended M3U playlist: the stations the loader reads from it,
// without the rows that no other player can take.
#pragma once

#include <string>
#include <vector>

#include "formats/StationLines.h"
#include "platform/TextFiles.h"

namespace zelvo {

struct ExportReport {
  int written = 0;
  std::vector<StationLine> templates;   // counter templates: a series only this program walks
  std::vector<StationLine> unwritable;  // an address that cannot stand on an M3U line
};

// Reads the station file as the loader does (separator rows are not stations) and replaces
// the playlist at playlistPath whole. Fails (PlatformFailure) when the station file cannot be
// read or the playlist cannot be written; an old playlist then stays as it was.
ExportReport exportStationFile(TextFileService& files, const std::string& stationFilePath,
                               const std::string& playlistPath);

}  // namespace zelvo
