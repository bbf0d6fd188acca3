#include "fakes/FakeEventLoop.h"

#include <algorithm>

namespace zelvo::test {

void FakeEventLoop::processPendingEvents() {
  ++yields_;
  if (!yieldActions_.empty()) {
    auto action = std::move(yieldActions_.front());
    yieldActions_.pop_front();
    action();
  }
  // Only the events pending now; those they post wait for the next yield.
  std::deque<std::function<void()>> now;
  now.swap(pending_);
  for (auto& event : now) event();
}

void FakeEventLoop::runPending() {
  while (!pending_.empty()) {
    auto event = std::move(pending_.front());
    pending_.pop_front();
    event();
  }
}

void FakeEventLoop::attach(Timer& timer) {
  timers_.push_back({&timer, now_ + timer.interval(), timer.restarts()});
}

void FakeEventLoop::reschedule(Scheduled& entry) {
  if (entry.restarts != entry.timer->restarts()) {
    entry.restarts = entry.timer->restarts();
    entry.due = now_ + entry.timer->interval();
  }
}

void FakeEventLoop::postAfter(long delayMs, std::function<void()> event) {
  delayed_.emplace_back(now_ + delayMs, std::move(event));
}

void FakeEventLoop::advance(long milliseconds) {
  const long end = now_ + milliseconds;
  runPending();
  for (;;) {
    Scheduled* next = nullptr;
    for (auto& entry : timers_) {
      reschedule(entry);
      if (!entry.timer->enabled() || entry.timer->interval() <= 0) continue;
      if (entry.due <= end && (!next || entry.due < next->due)) next = &entry;
    }
    auto delayed = std::min_element(delayed_.begin(), delayed_.end(),
                                    [](const auto& a, const auto& b) { return a.first < b.first; });
    const bool delayedFirst = delayed != delayed_.end() && delayed->first <= end &&
                              (!next || delayed->first <= next->due);
    if (delayedFirst) {
      now_ = delayed->first;
      auto event = std::move(delayed->second);
      delayed_.erase(delayed);
      post(std::move(event));
      runPending();
      continue;
    }
    if (!next) break;
    now_ = next->due;
    next->due = now_ + next->timer->interval();
    Timer* timer = next->timer;
    timer->fire();
    runPending();
  }
  now_ = end;
  for (auto& entry : timers_) reschedule(entry);
}

}  // namespace zelvo::test
