// The playlist commands: --import merges a playlist into the library, --export writes the
// library or another station file as extended M3U. Each prints what it did.
#pragma once

#include <ostream>
#include <string>

#include "platform/TextFiles.h"

namespace zelvo {

// Both return the exit status: 0 done, 1 not done (the message on err, every file as it was).
// --import also records, beside the library, the guide tags of the playlist's stations
// (tv_epg_map.txt) and the guides it names (tv_epg_src.txt); when that fails after the
// stations were added, it says so on err and returns 1.
int runImport(TextFileService& files, const std::string& playlistPath, const std::string& appFolder,
              std::ostream& out, std::ostream& err);
// stationFile: a file name in appFolder; empty for the library.
int runExport(TextFileService& files, const std::string& playlistPath,
              const std::string& stationFile, const std::string& appFolder, std::ostream& out,
              std::ostream& err);

}  // namespace zelvo
