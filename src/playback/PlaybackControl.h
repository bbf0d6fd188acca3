// Playback as the station list's reactions see it: stopping, expanding and playing through the
// operations of Playback and AddressExpansion.
#pragma once

#include "form/PlaybackRequests.h"
#include "playback/AddressExpansion.h"
#include "playback/Playback.h"

namespace zelvo {

class PlaybackControl : public PlaybackRequests {
 public:
  PlaybackControl(Playback& playback, AddressExpansion& expansion)
      : playback_(playback), expansion_(expansion) {}
  void StopAll() override { playback_.StopAll(); }
  std::string ExpandAddress(std::string address) override {
    return expansion_.ExpandAddress(std::move(address));
  }
  void PlayAddress(const std::string& address) override { playback_.PlayAddress(address); }

 private:
  Playback& playback_;
  AddressExpansion& expansion_;
};

}  // namespace zelvo
