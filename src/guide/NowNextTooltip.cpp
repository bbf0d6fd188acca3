#include "guide/NowNextTooltip.h"

#include <algorithm>

#include "guide/NowNextText.h"
#include "platform/Steps.h"

namespace zelvo {

namespace {

// Beyond this a timer is only set again: the interval is an int of milliseconds.
constexpr int64_t kLongestWaitSeconds = 6 * 60 * 60;

}  // namespace

std::vector<StationLine> stationsListed(const FormControls& c) {
  std::vector<StationLine> stations;
  const int rows = std::min(c.tvm.count(), c.dz1.count());
  stations.reserve(static_cast<size_t>(rows));
  for (int i = 0; i < rows; ++i) stations.push_back({c.tvm.row(i), c.dz1.row(i)});
  return stations;
}

NowNextTooltip::NowNextTooltip(FormControls& controls, ProgrammeGuide& guide)
    : c_(controls), guide_(guide) {}

void NowNextTooltip::connect() {
  const auto follow = [this] { step([&] { update(); }); };
  c_.tvm.change.listen(follow);
  c_.tvm.click.listen(follow);
  c_.dz1.change.listen(follow);
  c_.dz1.click.listen(follow);
  guide_.onUpdated(follow);
  timer_.tick.connect(follow);
}

void NowNextTooltip::update() {
  step([&] { timer_.setEnabled(false); });
  const NowNext found = guide_.nowNext(c_.tvm.text(), c_.dz1.text());
  const std::string text = describeNowNext(found, "\n");
  if (text.empty()) {
    if (showing_) step([&] { c_.tvm.setToolTip(ownTip_); });
    showing_ = false;
  } else {
    if (!showing_) ownTip_ = c_.tvm.toolTip();
    showing_ = true;
    step([&] { c_.tvm.setToolTip(text); });
  }
  // Looked at again when what is shown stops being true: the running programme ends or the
  // next begins.
  int64_t change = 0;
  if (found.now) change = found.now->stop;
  if (found.next) change = change ? std::min(change, found.next->start) : found.next->start;
  if (change == 0) return;
  const int64_t wait = std::clamp<int64_t>(change - guide_.now(), 1, kLongestWaitSeconds);
  step([&] {
    timer_.setInterval(static_cast<int>(wait * 1000));
    timer_.setEnabled(true);
  });
}

}  // namespace zelvo
