// A single-handler event, as the window toolkit's controls and components raise them, with
// listeners beside the handler. Raising an event without a handler does nothing.
#pragma once

#include <functional>
#include <utility>
#include <vector>

namespace zelvo {

template <class... Args>
class Event {
 public:
  template <class Handler>
  void connect(Handler&& handler) {
    handler_ = std::forward<Handler>(handler);
  }
  // A listener hears every raise after the handler, whichever handler is connected: for a
  // piece beside the window that follows a control without taking its event.
  template <class Listener>
  void listen(Listener&& listener) {
    listeners_.emplace_back(std::forward<Listener>(listener));
  }
  void raise(Args... args) const {
    if (handler_) {
      auto handler = handler_;  // the handler may reconnect the event while it runs
      handler(args...);
    }
    for (size_t i = 0; i < listeners_.size(); ++i) {
      auto listener = listeners_[i];
      listener(args...);
    }
  }
  bool connected() const { return static_cast<bool>(handler_); }

 private:
  std::function<void(Args...)> handler_;
  std::vector<std::function<void(Args...)>> listeners_;
};

}  // namespace zelvo
