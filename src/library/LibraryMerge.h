// Merging a playlist's entries into the library tv_lib.txt: new stations go before the end
// marker in the playlist's order, stations already there are skipped, the rest stays as it was.
#pragma once

#include <string>
#include <vector>

#include "formats/Playlist.h"
#include "platform/TextFiles.h"

namespace zelvo {

struct MergeReport {
  int added = 0;
  int alreadyThere = 0;  // the library, or an earlier entry of the playlist, had the station
  std::vector<std::string> namesLosingCharacters;  // as the playlist gave them
  std::vector<std::string> addressesNotStorable;   // skipped: a station file cannot hold them
  int stationsInLibrary = 0;                       // after the merge, as the loader reads them
};

// A station is already there when the loader reads a line of the library with the same name
// and address, as GBK stores them. New lines are "name,address,-999,假,假", placed where the
// loader stops reading (the end marker, or an empty line that would end the file for it);
// a library without an end marker gets one. Every other line goes back byte for byte, in one
// replacement of the file, and only when a station was added.
// Fails (PlatformFailure) when the library exists but cannot be read, or cannot be replaced:
// it then stays as it was.
MergeReport mergeIntoLibrary(TextFileService& files, const std::string& libraryPath,
                             const std::vector<PlaylistEntry>& entries);

}  // namespace zelvo
