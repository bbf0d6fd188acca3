// libmpv's wakeup callback runs on one of mpv's threads and may call no mpv function: it only
// queues one drain of the event queue on the owner's thread, however often mpv calls it.
#pragma once

#include <mpv/client.h>

#include <QObject>
#include <atomic>
#include <functional>
#include <utility>

#include "platform/qt/EngineEvents.h"

namespace zelvo {

class MpvWakeup {
 public:
  MpvWakeup(QObject* owner, std::function<void()> drain)
      : owner_(owner), drain_(std::move(drain)) {}

  void attach(mpv_handle* handle) { mpv_set_wakeup_callback(handle, &MpvWakeup::onWakeup, this); }
  // Once this returns mpv is no longer inside the callback and never calls it again.
  static void detach(mpv_handle* handle) { mpv_set_wakeup_callback(handle, nullptr, nullptr); }
  // The drain calls this first: a wakeup from now on queues another drain.
  void draining() { pending_.store(false); }

 private:
  static void onWakeup(void* context) {
    auto* self = static_cast<MpvWakeup*>(context);
    if (self->pending_.exchange(true)) return;
    if (!postGuarded(self->owner_, [self] { self->drain_(); })) self->pending_.store(false);
  }

  QObject* owner_;
  std::function<void()> drain_;
  std::atomic<bool> pending_{false};
};

}  // namespace zelvo
