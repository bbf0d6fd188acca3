// How engine adapters hand news to the thread of the object that owns them: queued, run after
// the running call has returned, and behind a guard so that no exception reaches Qt or an engine.
#pragma once

#include <QMetaObject>
#include <QObject>
#include <cstdint>
#include <utility>

namespace zelvo {

// Runs action later on receiver's thread; dropped if receiver is gone by then. Safe to call
// from an engine's own threads: it never throws, and says whether the action was queued.
template <class Action>
bool postGuarded(QObject* receiver, Action action) noexcept {
  try {
    return QMetaObject::invokeMethod(
        receiver,
        [action = std::move(action)]() mutable {
          try {
            action();
          } catch (...) {
            // A handler's failure must not reach Qt's event loop.
          }
        },
        Qt::QueuedConnection);
  } catch (...) {
    return false;
  }
}

// As postGuarded, but the action runs only if counter still holds the value it holds now: a
// counter that moves on with every new address or attempt drops the news of the earlier ones.
// The counter must live as long as receiver (a member of it); it is read on receiver's thread.
template <class Counter, class Action>
bool postWhileCurrent(QObject* receiver, const Counter& counter, Action action) noexcept {
  const uint64_t stamp = counter;
  return postGuarded(receiver, [&counter, stamp, action = std::move(action)]() mutable {
    if (static_cast<uint64_t>(counter) == stamp) action();
  });
}

}  // namespace zelvo
