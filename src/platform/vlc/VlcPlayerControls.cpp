// The player's own control strip: play and pause, stop, the position, full screen and the sound.
#include <vlc/vlc.h>

#include <QWidget>

#include "platform/vlc/VlcControlStrip.h"
#include "platform/vlc/VlcWindowsMediaPlayer.h"

namespace zelvo {

void VlcWindowsMediaPlayer::connectControlStrip() {
  connect(controls_, &vlc::VlcControlStrip::playPauseClicked, this,
          &VlcWindowsMediaPlayer::togglePlayPause);
  connect(controls_, &vlc::VlcControlStrip::stopClicked, this, [this] { stop(); });
  connect(controls_, &vlc::VlcControlStrip::positionChosen, this, &VlcWindowsMediaPlayer::seekTo);
  connect(controls_, &vlc::VlcControlStrip::fullScreenClicked, this,
          &VlcWindowsMediaPlayer::toggleFullScreen);
  connect(controls_, &vlc::VlcControlStrip::volumeChosen, this, [this](int volume) {
    volume_ = volume;
    applyAudioSettings();
  });
  connect(controls_, &vlc::VlcControlStrip::muteToggled, this, [this](bool muted) {
    muted_ = muted;
    applyAudioSettings();
  });
}

void VlcWindowsMediaPlayer::togglePlayPause() {
  try {
    if (state_ == WmpState::Playing)
      pause();
    else
      play();
  } catch (...) {
  }
}

void VlcWindowsMediaPlayer::seekTo(double fraction) {
  if (!engineReady() || !media_ || !libvlc_media_player_is_seekable(player_)) return;
  const int64_t length = libvlc_media_player_get_length(player_);
  if (length <= 0) return;
  const double oldPosition = double(libvlc_media_player_get_time(player_)) / 1000.0;
  const auto target = static_cast<int64_t>(fraction * double(length));
  libvlc_media_player_set_time(player_, target);
  progressMade();
  const double newPosition = double(target) / 1000.0;
  raiseLater([this, oldPosition, newPosition] { positionChange.raise(oldPosition, newPosition); });
}

void VlcWindowsMediaPlayer::toggleFullScreen() {
  QWidget* window = area_ ? area_->window() : nullptr;
  if (!window) return;
  if (window->isFullScreen()) {
    window->showNormal();
  } else {
    window->showFullScreen();
  }
}
}  // namespace zelvo
