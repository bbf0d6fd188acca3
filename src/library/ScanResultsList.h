// The station list as a scan leaves it: the scan results, then the temp folder's playlists.
#pragma once

#include "form/Services.h"

namespace zelvo {

class StationFiles;
class PositionFiles;

// Empties the list and loads the scan results, then the temp playlists, letting pending events
// run after each.
void LoadScanResultsList(Context context, StationFiles& files, PositionFiles& positions);

}  // namespace zelvo
