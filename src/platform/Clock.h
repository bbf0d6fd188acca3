// The one clock of the window and its subsystems: the guide, the guide window, recording and the
// guide reader all ask it, so that a test sets the time in one place.
#pragma once

#include <cstdint>

namespace zelvo {

class Clock {
 public:
  virtual ~Clock() = default;
  // Seconds since 1970-01-01 00:00 UTC.
  virtual int64_t secondsNow() const = 0;
};

}  // namespace zelvo
