// The station list scan's buttons. The stop button ("停止") ends whatever runs: a scan (its
// results are shown), a web search, or ordinary playing, and saves the position.
#pragma once

#include "form/Services.h"

namespace zelvo {

class StationFiles;
class PositionFiles;
class Playback;

class StationScan {
 public:
  StationScan(Context context, StationFiles& files, PositionFiles& positions, Playback& playback)
      : x_(context), files_(files), positions_(positions), playback_(playback) {}

  void connect();
  void StopClicked();  // Command9

 private:
  Context x_;
  StationFiles& files_;
  PositionFiles& positions_;
  Playback& playback_;
};

}  // namespace zelvo
