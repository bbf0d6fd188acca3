// The programme now and next of the current station, shown in the tooltip of the station
// selector tvm, kept up to date as the station changes and as programmes end.
#pragma once

#include <string>
#include <vector>

#include "form/FormControls.h"
#include "guide/NowNext.h"
#include "guide/ProgrammeGuide.h"
#include "platform/Timer.h"

namespace zelvo {

// The stations of the station list, separators included, as tvm and dz1 hold them.
std::vector<StationLine> stationsListed(const FormControls& c);

class NowNextTooltip {
 public:
  NowNextTooltip(FormControls& controls, ProgrammeGuide& guide);
  NowNextTooltip(const NowNextTooltip&) = delete;
  NowNextTooltip& operator=(const NowNextTooltip&) = delete;

  // Follows the station shown in tvm and dz1, the guide's reads and the programmes' ends.
  void connect();
  // Shows the current station's now and next; without them, the tooltip tvm had of its own.
  void update();
  // Fires when the programme shown as running ends, or the next one begins.
  Timer& timer() { return timer_; }

 private:
  FormControls& c_;
  ProgrammeGuide& guide_;
  Timer timer_{"guideTimer", 1000, false};
  std::string ownTip_;
  bool showing_ = false;
};

}  // namespace zelvo
