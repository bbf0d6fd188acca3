// A window timer: an interval and an enabled switch. The event loop, real or virtual, fires
// Tick every interval while it is enabled; changing either restarts the count.
#pragma once

#include <functional>
#include <string>

#include "platform/Event.h"

namespace zelvo {

class Timer {
 public:
  Timer(std::string name, int intervalMs, bool enabled)
      : name_(std::move(name)), interval_(intervalMs), enabled_(enabled) {}
  Timer(const Timer&) = delete;
  Timer& operator=(const Timer&) = delete;

  const std::string& name() const { return name_; }
  int interval() const { return interval_; }
  bool enabled() const { return enabled_; }
  void setEnabled(bool on) {
    enabled_ = on;
    restarted();
  }
  void setInterval(int ms) {
    interval_ = ms;
    restarted();
  }
  // Counts every restart, so a scheduler can tell that its count must begin again.
  unsigned long restarts() const { return restarts_; }

  void setScheduler(std::function<void()> onRestart) { onRestart_ = std::move(onRestart); }
  // Called by the scheduler when the interval has passed.
  void fire() {
    if (enabled_) tick.raise();
  }

  Event<> tick;

 private:
  void restarted() {
    ++restarts_;
    if (onRestart_) onRestart_();
  }
  std::string name_;
  int interval_;
  bool enabled_;
  unsigned long restarts_ = 0;
  std::function<void()> onRestart_;
};

}  // namespace zelvo
