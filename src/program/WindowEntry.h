// The window module's entry point: the program opens the module and hands it the command line
// and the playlists read from it; the module runs the window to its end.
#pragma once

#include <string>
#include <vector>

#include "formats/Playlist.h"

namespace zelvo {

using StationGroups = std::vector<std::vector<PlaylistEntry>>;
// Returns the exit status. guideAddresses: the programme guides the playlists name.
using RunWindow = int(int& argc, char** argv, const StationGroups& playlists,
                      const std::vector<std::string>& guideAddresses);

}  // namespace zelvo
