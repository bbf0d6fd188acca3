#include "search/StationScan.h"

#include "form/Captions.h"
#include "form/FormControls.h"
#include "form/SharedState.h"
#include "library/PositionFiles.h"
#include "library/ScanResultsList.h"
#include "library/StationFiles.h"
#include "library/StationList.h"
#include "platform/Steps.h"
#include "playback/AddressExpansion.h"
#include "playback/Playback.h"
#include "search/ResultFiles.h"
#include "search/SearchRun.h"

namespace zelvo {

namespace {
constexpr const char* kFirstListAddress = "list%0000000%";
constexpr int kScanWidth = 8415;
constexpr int kWidthAfterWebSearch = 8430;
}  // namespace

void StationScan::connect() {
  FormControls& c = x_.c;
  c.Command10.click.connect([this] { step([&] { ScanClicked(); }); });
  c.Command9.click.connect([this] { step([&] { StopClicked(); }); });
  c.Command16.click.connect([this] { step([&] { DefaultsClicked(); }); });
  c.Text2.change.connect([this] { p_.results.AppendScanFind(x_.c.Text2.text()); });
  c.Check3.click.connect([this] { p_.results.SaveScanText(); });
}

// Row 0 is never tried: the expansion moves the counter on before it uses it.
void StationScan::ScanClicked() {
  FormControls& c = x_.c;
  p_.search.startAfresh();  // the web search, if any, ends here
  step([&] { c.form1.setWidth(kScanWidth); });
  if (c.Command17.caption() == kWebSearchCaption) {
    step([&] { clearStationList(c); });
    p_.files.LoadStationFile(kWebResultFile);
    p_.files.LoadStationFile(kCandidateFile);
  } else {
    step([&] { c.Command17.setCaption(kWebSearchCaption); });
  }
  step([&] { p_.playback.StopAll(); });
  x_.s.workMode = WorkMode::ListScan;
  step([&] { c.Text2.setText(""); });
  step([&] { c.dz1.setText(kFirstListAddress); });
  step([&] { c.dz1.setVisible(true); });
  step([&] {
    // A list without a row after the first ends the run in the expansion, results shown.
    const unsigned ended = p_.expansion.listRunsEnded();
    const std::string first = p_.expansion.ExpandAddress(c.dz1.text(), "");
    if (p_.expansion.listRunsEnded() == ended) p_.playback.PlayAddress(first);
  });
}

void StationScan::StopClicked() {
  FormControls& c = x_.c;
  SharedState& s = x_.s;
  p_.search.abandon();
  const bool scanning = s.workMode == WorkMode::ListScan;
  if (scanning) {
    LoadScanResultsList(x_, p_.files, p_.positions);
    showStationRow(c, 0);
  }
  if (c.Command14.enabled()) step([&] { c.Command14.setCaption(kContinueCaption); });
  step([&] { p_.playback.StopAll(); });
  if (c.Command14.caption() == kContinueCaption) step([&] { c.Command14.setEnabled(true); });
  if (s.workMode == WorkMode::ListScan) p_.positions.SaveScanPosition(s.stationPosition);
  p_.positions.SavePlayPosition(s.stationPosition);
  s.workMode = WorkMode::Playing;
  if (c.Command17.caption() == kWebSearchStartedCaption) {
    step([&] { c.Command10.setCaption(kScanCaption); });
    step([&] { c.form1.setWidth(kWidthAfterWebSearch); });
  }
}

void StationScan::DefaultsClicked() {
  FormControls& c = x_.c;
  p_.results.RestoreScanDefaults();
  step([&] { clearStationList(c); });
  p_.files.LoadStationFile(kScanResultFile);
  p_.files.LoadStationFile(kWebResultFile);
  showStationRow(c, 0);
  p_.files.LoadStationFile(kLibraryFile);
  p_.positions.LoadTempPlaylists();
}

}  // namespace zelvo
