// The window's event loop as the system sees it: it can let pending events run.
// Real on Qt; a deterministic loop with a virtual clock in tests.
#pragma once

namespace zelvo {

class EventLoop {
 public:
  virtual ~EventLoop() = default;
  // Runs the events that are pending now (input, timers, player and browser events), then returns.
  virtual void processPendingEvents() = 0;
};

}  // namespace zelvo
