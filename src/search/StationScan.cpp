#include "search/StationScan.h"

#include "form/FormControls.h"
#include "form/SharedState.h"
#include "library/PositionFiles.h"
#include "library/ScanResultsList.h"
#include "library/StationFiles.h"
#include "library/StationList.h"
#include "platform/Steps.h"
#include "playback/Playback.h"

namespace zelvo {

namespace {
constexpr const char* kContinueCaption = "继续";
constexpr const char* kWebSearchStartedCaption = "网上";
constexpr const char* kScanCaption = "搜台";
constexpr int kWidthAfterWebSearch = 8430;
}  // namespace

void StationScan::connect() {
  x_.c.Command9.click.connect([this] { step([&] { StopClicked(); }); });
}

void StationScan::StopClicked() {
  FormControls& c = x_.c;
  SharedState& s = x_.s;
  const bool scanning = s.workMode == WorkMode::ListScan;
  if (scanning) {
    LoadScanResultsList(x_, files_, positions_);
    showStationRow(c, 0);
  }
  if (c.Command14.enabled()) step([&] { c.Command14.setCaption(kContinueCaption); });
  step([&] { playback_.StopAll(); });
  if (c.Command14.caption() == kContinueCaption) step([&] { c.Command14.setEnabled(true); });
  if (s.workMode == WorkMode::ListScan) positions_.SaveScanPosition(s.stationPosition);
  positions_.SavePlayPosition(s.stationPosition);
  s.workMode = WorkMode::Playing;
  if (c.Command17.caption() == kWebSearchStartedCaption) {
    step([&] { c.Command10.setCaption(kScanCaption); });
    step([&] { c.form1.setWidth(kWidthAfterWebSearch); });
  }
}

}  // namespace zelvo
