// The window's clock in tests: it stands where the test sets it and moves on with the fake event
// loop's virtual clock, so that advancing the loop advances the time every subsystem sees.
#pragma once

#include <cstdint>

#include "fakes/FakeEventLoop.h"
#include "platform/Clock.h"

namespace zelvo::test {

class FakeClock final : public Clock {
 public:
  explicit FakeClock(const FakeEventLoop& loop) : loop_(loop) {}
  int64_t secondsNow() const override { return start_ + loop_.now() / 1000; }
  // From now on the clock reads this (UTC seconds), and moves on as the loop's time does.
  void set(int64_t utcSeconds) { start_ = utcSeconds - loop_.now() / 1000; }

 private:
  const FakeEventLoop& loop_;
  int64_t start_ = 1796745600;  // 2026-12-09 00:00 in UTC+8
};

}  // namespace zelvo::test
