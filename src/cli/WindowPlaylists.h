// The playlists given on the command line for the window, read before the window starts:
// each file's stations become a group of their own in the station list.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "formats/Playlist.h"

namespace zelvo {

// One group for each file, in their order. A file that cannot be read, and entries that
// cannot be stations, are reported on err; the window opens all the same. The programme guides
// the files name go to guideAddresses, each once, when it is given.
std::vector<std::vector<PlaylistEntry>> readWindowPlaylists(
    const std::vector<std::string>& files, std::ostream& err,
    std::vector<std::string>* guideAddresses = nullptr);

}  // namespace zelvo
