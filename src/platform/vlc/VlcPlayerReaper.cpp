#include "platform/vlc/VlcPlayerReaper.h"

#include <malloc.h>
#include <vlc/vlc.h>

namespace zelvo::vlc {

VlcPlayerReaper::~VlcPlayerReaper() {
  for (auto& entry : retiring_) entry->thread.join();
}

void VlcPlayerReaper::retire(libvlc_media_player_t* player, std::function<void()> afterRelease) {
  joinFinished();
  auto entry = std::make_unique<Retiring>();
  Retiring* raw = entry.get();
  raw->thread = std::thread([player, raw, afterRelease = std::move(afterRelease)] {
    libvlc_media_player_stop(player);
    libvlc_media_player_release(player);
    try {
      if (afterRelease) afterRelease();
    } catch (...) {
    }
    // A stream's buffers, decoders and picture pool are free now; the pages go back to the
    // system rather than wait in the allocator for a stream that may never need them.
    malloc_trim(0);
    raw->done = true;
  });
  retiring_.push_back(std::move(entry));
}

void VlcPlayerReaper::joinFinished() {
  for (auto it = retiring_.begin(); it != retiring_.end();) {
    if ((*it)->done) {
      (*it)->thread.join();
      it = retiring_.erase(it);
    } else {
      ++it;
    }
  }
}

}  // namespace zelvo::vlc
