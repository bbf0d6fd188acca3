// A deterministic event loop with a virtual clock: posted events run when the system yields
// or the test runs the loop; timers fire only when the test advances the clock.
#pragma once

#include <deque>
#include <functional>
#include <vector>

#include "platform/EventLoop.h"
#include "platform/Timer.h"

namespace zelvo::test {

class FakeEventLoop : public EventLoop {
 public:
  void processPendingEvents() override;

  void post(std::function<void()> event) { pending_.push_back(std::move(event)); }
  // Posts the event once the virtual clock has moved on by delayMs, as news from a server would.
  void postAfter(long delayMs, std::function<void()> event);
  // Runs pending events until none is left (events may post further events).
  void runPending();
  void attach(Timer& timer);
  // Moves the virtual clock on, firing due timers in time order and running posted events.
  void advance(long milliseconds);
  long now() const { return now_; }
  int yields() const { return yields_; }
  // Runs during the next yields of the system, once each, before the pending events.
  void duringYield(std::function<void()> action) { yieldActions_.push_back(std::move(action)); }

 private:
  struct Scheduled {
    Timer* timer;
    long due;
    unsigned long restarts;
  };
  void reschedule(Scheduled& entry);
  std::deque<std::function<void()>> pending_;
  std::deque<std::function<void()>> yieldActions_;
  std::vector<Scheduled> timers_;
  std::vector<std::pair<long, std::function<void()>>> delayed_;  // due time, event
  long now_ = 0;
  int yields_ = 0;
};

}  // namespace zelvo::test
