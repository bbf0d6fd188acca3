#include "search/LinkScan.h"

#include <vector>

#include "form/FormControls.h"
#include "formats/TextCase.h"
#include "library/StationList.h"
#include "platform/Steps.h"
#include "search/LinkFilters.h"
#include "search/PageQueue.h"
#include "search/ResultFiles.h"
#include "search/SearchRun.h"
#include "search/WebSearch.h"

namespace zelvo {

namespace {
constexpr const char* kBrowserStartLocation = "http:///";
}  // namespace

void LinkScan::connect() {
  x_.p.browser.documentComplete.connect(
      [this](const std::string& url) { step([&] { DocumentComplete(url); }); });
}

// The page's first anchor is never examined. The scan goes on with the anchors it read at the
// start even when another page completes while events run.
void LinkScan::DocumentComplete(const std::string& url) {
  if (toLowerAscii(url) == x_.p.searchHome || url.empty() || url == kBrowserStartLocation) return;
  const unsigned run = run_.current();
  run_.visit(url);
  std::vector<std::string> anchors;
  step([&] { anchors = x_.p.browser.anchors(); });
  const std::string prefix = resultPagePrefix(x_.p.searchHome);
  for (size_t i = 1; i < anchors.size(); ++i) {
    const std::string& link = anchors[i];
    if (!passesLinkFilters(link, prefix)) continue;
    if (!TakeLink(link, run)) return;
  }
  step([&] { armSearchStep(x_.c.Timer9); });
}

bool LinkScan::TakeLink(const std::string& link, unsigned run) {
  x_.p.loop.processPendingEvents();
  if (run != run_.current() || x_.p.process.ending()) return false;
  const int rowCount = stationRowCount(x_.c);
  const int waiting = queue_.count();
  step([&] { x_.c.l.setCaption(std::to_string(waiting)); });
  if (waiting > 0 && queue_.holds(link)) return true;
  if (isStreamLink(link)) {
    if (x_.c.dz1.firstRowIgnoringCase(link) < 0) takeStreamLink(link, rowCount);
  } else if (!run_.visited(link)) {
    step([&] { queue_.append(link); });  // a full queue drops the link
  }
  return true;
}

// A stream link that the full station list cannot take is dropped, file line included: a
// station that is nowhere in the list is no find.
void LinkScan::takeStreamLink(const std::string& link, int rowCount) {
  FormControls& c = x_.c;
  const std::string name = std::to_string(rowCount) + "tvm";
  if (!step([&] { addStationRow(c, name, link, rowCount); })) return;
  step([&] { c.tvm.setText(name); });
  step([&] { c.dz1.setText(link); });
  results_.AppendWebFind(c.tvm.text() + "," + link + ",");
}

}  // namespace zelvo
