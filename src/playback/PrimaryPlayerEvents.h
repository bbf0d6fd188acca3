// The reactions to the primary player's events: its state changes judge a stream (playing,
// ended, stopped, ready), its errors hand the address to the fallback player.
#pragma once

#include "form/Services.h"

namespace zelvo {

class Monitoring;

class PrimaryPlayerEvents {
 public:
  PrimaryPlayerEvents(Context context, Monitoring& monitoring)
      : x_(context), monitoring_(monitoring) {}

  void connect();
  void PlayStateChange();
  void Error();
  void PositionChange();

 private:
  void whilePlaying();
  Context x_;
  Monitoring& monitoring_;
};

}  // namespace zelvo
