// A single-handler event, as the window toolkit's controls and components raise them.
// Raising an event without a handler does nothing.
#pragma once

#include <functional>
#include <utility>

namespace zelvo {

template <class... Args>
class Event {
 public:
  template <class Handler>
  void connect(Handler&& handler) {
    handler_ = std::forward<Handler>(handler);
  }
  void raise(Args... args) const {
    if (handler_) {
      auto handler = handler_;  // the handler may reconnect the event while it runs
      handler(args...);
    }
  }
  bool connected() const { return static_cast<bool>(handler_); }

 private:
  std::function<void(Args...)> handler_;
};

}  // namespace zelvo
