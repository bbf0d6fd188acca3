// The reactions to the fallback player's events: a stop, a failure or a fall back into buffering
// moves a series on; playing shows the clip's length and logs its address.
#pragma once

#include <cstdint>
#include <string>

#include "form/Services.h"

namespace zelvo {

class Monitoring;

// The fallback player's error code that never moves a series on.
inline constexpr int32_t kRealIgnoredError = static_cast<int32_t>(0x800400CEu);
// The first argument of the presentation event when a clip has opened.
inline constexpr int32_t kRealClipOpened = 1;

class FallbackPlayerEvents {
 public:
  FallbackPlayerEvents(Context context, Monitoring& monitoring)
      : x_(context), monitoring_(monitoring) {}

  void connect();
  void OnStateChange(int oldState, int newState);
  void OnErrorMessage(int32_t rmaCode);
  void OnBuffering();
  void OnPresentationEvent(int32_t kind);

 private:
  void whilePlaying();
  Context x_;
  Monitoring& monitoring_;
};

}  // namespace zelvo
