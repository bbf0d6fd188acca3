#include "search/WebSearch.h"

#include "form/AppTitle.h"
#include "form/Captions.h"
#include "form/FormControls.h"
#include "library/StationList.h"
#include "platform/Steps.h"
#include "playback/Playback.h"
#include "search/LinkFilters.h"
#include "search/PageQueue.h"
#include "search/SearchRun.h"

namespace zelvo {

namespace {
constexpr const char* kStartMessage =
    "请在在边输入框中输入网址，否则请点击右边的选择按钮将在百度中搜索！";
constexpr int kSearchBrowserHeight = 5000;
constexpr int kWidthWithQueue = 14505;
constexpr int kWidthWithoutQueue = 8430;
constexpr int kDiagnosticKey = 122;  // F11
}  // namespace

void WebSearch::connect() {
  FormControls& c = x_.c;
  WebBrowser& browser = x_.p.browser;
  c.Command17.click.connect([this] { step([&] { StartClicked(); }); });
  c.Timer9.tick.connect([this] { step([&] { Timer9Tick(); }); });
  c.tvmx.click.connect([this] { step([&] { QueueRowClicked(); }); });
  c.Command10.keyDown.connect([this](int key) { step([&] { ScanButtonKeyDown(key); }); });
  browser.downloadComplete.connect([this] { step([&] { armSearchStep(x_.c.Timer9); }); });
  browser.navigateError.connect(
      [this](const std::string&, int) { step([&] { armSearchStep(x_.c.Timer9); }); });
  browser.fileDownload.connect([](bool& cancel) { cancel = true; });
}

void armSearchStep(Timer& timer9) {
  if (!timer9.enabled()) timer9.setEnabled(true);
}

// The address is read from tvm before the lists are cleared: the first page finds them empty.
void WebSearch::StartClicked() {
  FormControls& c = x_.c;
  run_.startAfresh();
  step([&] { x_.p.messages.show(kStartMessage, kAppTitle, MessageIcon::None); });
  step([&] { c.Command17.setCaption(kWebSearchStartedCaption); });
  step([&] { c.Text2.setText(""); });
  step([&] { c.tvmx.setText(""); });
  step([&] { playback_.StopAll(); });
  step([&] { c.WebBrowser1.setHeight(kSearchBrowserHeight); });
  step([&] { c.WindowsMediaPlayer1.setVisible(false); });
  step([&] { c.WebBrowser1.setVisible(true); });
  step([&] { c.Command14.setEnabled(false); });
  const std::string first = c.Check2.checked() ? c.tvm.text() : x_.p.searchHome;
  run_.visit(first);
  step([&] { x_.p.browser.navigate(first); });
  step([&] { queue_.clear(); });
  step([&] { clearStationList(c); });
}

void WebSearch::Timer9Tick() {
  step([&] { x_.c.Timer9.setEnabled(false); });
  if (guard([&] { return x_.p.browser.locationURL().empty(); })) return;
  VisitNextPage();
}

void WebSearch::QueueRowClicked() {
  if (x_.c.Check2.checked()) {
    const std::string address = x_.c.tvmx.text();
    if (isWebPageLink(address)) {
      run_.visit(address);
      step([&] { x_.p.browser.navigate(address); });
    }
  } else {
    VisitNextPage();
  }
}

bool WebSearch::usable(const std::string& head) const {
  return !head.empty() && head.find('@') == std::string::npos && head != x_.p.searchHome &&
         isWebPageLink(head);
}

// Unusable rows at the head are dropped until a usable one comes up. In single-page mode the
// head leaves the queue without being loaded.
void WebSearch::VisitNextPage() {
  FormControls& c = x_.c;
  const unsigned run = run_.current();
  auto abandoned = [&] { return run != run_.current() || x_.p.process.ending(); };
  x_.p.loop.processPendingEvents();
  if (abandoned()) return;
  if (queue_.count() == 0) {
    step([&] { c.Command10.setCaption(kScanCaption); });
    step([&] { c.form1.setWidth(kWidthWithoutQueue); });
    return;
  }
  step([&] { c.form1.setWidth(kWidthWithQueue); });
  for (;;) {
    const std::string head = queue_.head();
    if (usable(head)) break;
    if (queue_.count() == 0) {
      step([&] { playback_.StopAll(); });
      return;
    }
    if (!step([&] { queue_.removeHead(); })) return;
  }
  step([&] { c.Command10.setCaption(std::to_string(queue_.count())); });
  x_.p.loop.processPendingEvents();
  if (abandoned()) return;
  if (!c.Check2.checked()) {
    const std::string head = queue_.head();
    step([&] { x_.p.browser.stop(); });
    if (usable(head)) {
      run_.visit(head);
      step([&] { x_.p.browser.navigate(head); });
    }
  }
  step([&] { queue_.removeHead(); });
}

void WebSearch::ScanButtonKeyDown(int keyCode) {
  if (keyCode != kDiagnosticKey) return;
  step([&] { x_.c.l.setVisible(true); });
  step([&] { x_.c.Text1.setVisible(true); });
  step([&] { x_.c.dz1.setEnabled(true); });
}

}  // namespace zelvo
