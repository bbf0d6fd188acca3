#include "platform/posix/SystemClock.h"

#include <chrono>

namespace zelvo {

int64_t SystemClock::secondsNow() const {
  return std::chrono::duration_cast<std::chrono::seconds>(
             std::chrono::system_clock::now().time_since_epoch())
      .count();
}

}  // namespace zelvo
