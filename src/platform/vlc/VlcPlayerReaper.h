// Stops and releases libVLC media players on threads of their own: stopping one waits for
// its input and decoder threads and can take most of a second, which the window must not feel.
#pragma once

#include <atomic>
#include <functional>
#include <list>
#include <memory>
#include <thread>

struct libvlc_media_player_t;

namespace zelvo::vlc {

class VlcPlayerReaper {
 public:
  VlcPlayerReaper() = default;
  // Waits for every player handed over to be gone: the engine instance may go after that.
  ~VlcPlayerReaper();
  VlcPlayerReaper(const VlcPlayerReaper&) = delete;
  VlcPlayerReaper& operator=(const VlcPlayerReaper&) = delete;

  // Takes the player, with its events already detached, and stops and releases it; then runs
  // afterRelease, on the reaper's thread.
  void retire(libvlc_media_player_t* player, std::function<void()> afterRelease = {});

 private:
  struct Retiring {
    std::thread thread;
    std::atomic<bool> done{false};
  };
  void joinFinished();
  std::list<std::unique_ptr<Retiring>> retiring_;
};

}  // namespace zelvo::vlc
