#include "playback/AddressExpansion.h"

#include <cmath>
#include <cstdint>
#include <limits>

#include "form/FormControls.h"
#include "form/SharedState.h"
#include "formats/StationAddress.h"
#include "formats/TextCase.h"
#include "formats/TextRules.h"
#include "library/PositionFiles.h"
#include "library/ScanResultsList.h"
#include "library/StationFiles.h"
#include "library/StationList.h"
#include "platform/Steps.h"
#include "playback/Playback.h"

namespace zelvo {

bool isListAddress(const std::string& text) { return toLowerAscii(text.substr(0, 4)) == "list"; }

std::string AddressExpansion::ExpandAddress(std::string address, const std::string&) {
  std::string& t = address;
  // The counter stands in the URL; the request headers after "|" are percent-encoded and go
  // with every expansion as they are.
  const size_t urlEnd = addressUrl(t).size();
  size_t s = t.find('%');
  size_t e = s == std::string::npos ? s : t.find('%', s + 1);
  if (e == std::string::npos || e >= urlEnd) {
    x_.s.lastTemplate = t;
    return t;
  }
  const size_t w = e - s - 1;
  std::string counter = t.substr(s + 1, w);
  std::string concrete = t.substr(0, s) + counter + t.substr(e + 1);

  auto value = parseNumber(counter);
  double rounded = value ? roundHalfEven(*value) : 0;
  if (!value || rounded < std::numeric_limits<int32_t>::min() ||
      rounded > std::numeric_limits<int32_t>::max()) {
    x_.s.lastTemplate = t;
    return t;
  }
  const int32_t number = static_cast<int32_t>(rounded);
  const int32_t n = number == std::numeric_limits<int32_t>::max() ? number : number + 1;

  std::string v = std::to_string(n);
  if (v.size() < w) v.insert(0, w - v.size(), '0');
  v.resize(w);  // a counter that outgrows its field keeps its first digits
  concrete.replace(s, w, v);
  t.replace(s + 1, w, v);

  std::string result = concrete;
  if (isListAddress(t)) {
    const int rows = x_.c.dz1.count();
    if (n >= 0 && n < rows) {
      result = x_.c.dz1.row(n);
      step([&] { x_.c.tvm.setText(x_.c.tvm.row(n)); });
    } else if (n >= rows) {
      finishListRun();
      return result;
    }
  }
  x_.s.lastTemplate = t;
  return result;
}

void AddressExpansion::finishListRun() {
  ++listRunsEnded_;
  LoadScanResultsList(x_, files_, positions_);
  step([&] { playback_.StopAll(); });
  step([&] { x_.p.messages.show("搜索完毕！", "搜索", MessageIcon::Error); });
  showStationRow(x_.c, 0);
  // The run is over: the players' late states put the first result back into dz1, not the list
  // address, which "播放" would take for a run to go on.
  x_.s.lastTemplate = x_.c.dz1.text();
}

}  // namespace zelvo
