// What the station list's reactions ask of playback: stop everything, expand an address, play
// one. Playback provides it; the window hands it to the station library's reactions.
#pragma once

#include <string>

namespace zelvo {

class PlaybackRequests {
 public:
  virtual ~PlaybackRequests() = default;
  // Not continue-on-error: a failing step abandons the rest and the failure reaches the caller.
  virtual void StopAll() = 0;
  virtual std::string ExpandAddress(std::string address) = 0;
  virtual void PlayAddress(const std::string& address) = 0;
};

}  // namespace zelvo
