// The clock of the system the program runs on.
#pragma once

#include "platform/Clock.h"

namespace zelvo {

class SystemClock final : public Clock {
 public:
  int64_t secondsNow() const override;
};

}  // namespace zelvo
