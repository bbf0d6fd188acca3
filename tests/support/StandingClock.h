// A clock that stands still where the test puts it, for the real components that take one.
#pragma once

#include <cstdint>

#include "platform/Clock.h"

namespace zelvo::test {

class StandingClock final : public Clock {
 public:
  explicit StandingClock(int64_t at) : at_(at) {}
  int64_t secondsNow() const override { return at_; }

 private:
  int64_t at_;
};

}  // namespace zelvo::test
