#include "library/ScanResultsList.h"

#include "library/PositionFiles.h"
#include "library/StationFiles.h"
#include "library/StationList.h"
#include "platform/Steps.h"

namespace zelvo {

void LoadScanResultsList(Context x, StationFiles& files, PositionFiles& positions) {
  step([&] { clearStationList(x.c); });
  files.LoadStationFile(kScanResultFile);
  x.p.loop.processPendingEvents();
  positions.LoadTempPlaylists();
  x.p.loop.processPendingEvents();
}

}  // namespace zelvo
