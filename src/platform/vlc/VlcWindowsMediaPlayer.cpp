// The Windows Media Player contract on libVLC: the player's life and the contract's calls. How
// libVLC's news moves the state, the recording and the control strip each have a file of their own.
#include "platform/vlc/VlcWindowsMediaPlayer.h"

#include <vlc/vlc.h>

#include <QPalette>
#include <QStackedLayout>
#include <QVBoxLayout>
#include <QWidget>
#include <algorithm>
#include <cstdio>

#include "platform/Failure.h"
#include "platform/vlc/VlcAddress.h"
#include "platform/vlc/VlcControlStrip.h"
#include "platform/vlc/VlcDialogs.h"
#include "platform/vlc/VlcEngine.h"
#include "platform/vlc/VlcVideoOutput.h"

namespace zelvo {

namespace {

constexpr int kTickMs = 250;

constexpr libvlc_event_e kPlayerEvents[] = {
    libvlc_MediaPlayerOpening,     libvlc_MediaPlayerBuffering,  libvlc_MediaPlayerPlaying,
    libvlc_MediaPlayerPaused,      libvlc_MediaPlayerEndReached, libvlc_MediaPlayerEncounteredError,
    libvlc_MediaPlayerTimeChanged, libvlc_MediaPlayerVout,       libvlc_MediaPlayerESAdded,
    libvlc_MediaPlayerESDeleted,   libvlc_MediaPlayerESSelected,
};

std::string versionNumberOf(const char* engineVersion) {
  int major = 0, minor = 0, revision = 0;
  std::sscanf(engineVersion ? engineVersion : "", "%d.%d.%d", &major, &minor, &revision);
  return std::to_string(major * 10000 + minor * 100 + revision);
}

}  // namespace

VlcWindowsMediaPlayer::VlcWindowsMediaPlayer(Options options, QWidget* parent)
    : options_(std::move(options)) {
  area_ = new QWidget(parent);
  // The engine players' own X windows are stacked here, the current player's on top. The
  // surface is native too: Qt crashed deleting a native window under a plain widget once the
  // area had left the main window.
  videoSurface_ = new QWidget(area_);
  videoSurface_->setAttribute(Qt::WA_NativeWindow);
  videoSurface_->setAttribute(Qt::WA_DontCreateNativeAncestors);
  videoSurface_->setAutoFillBackground(true);
  QPalette black = videoSurface_->palette();
  black.setColor(QPalette::Window, Qt::black);
  videoSurface_->setPalette(black);
  videoSurface_->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
  new QStackedLayout(videoSurface_);
  controls_ = new vlc::VlcControlStrip(area_);
  auto* layout = new QVBoxLayout(area_);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  layout->addWidget(videoSurface_, 1);
  layout->addWidget(controls_);

  connectControlStrip();
  // The area may go with its parent window before this player does; libVLC must stop drawing.
  connect(area_, &QObject::destroyed, this, [this] { haltEngine(Halt::WaitForEngine); });

  std::vector<std::string> arguments = vlc::videoOutputArguments();
  arguments.push_back("--network-caching=1000");
  arguments.insert(arguments.end(), options_.engineArguments.begin(),
                   options_.engineArguments.end());
  const vlc::Engine engine = vlc::startEngine(arguments);
  instance_ = engine.instance;
  rtspHandled_ = engine.rtspHandled;
  if (!instance_) return;

  // What the file output says when it cannot open or write the recording.
  log_.watchFor({"cannot write", "cannot create"});
  log_.attach(instance_);
  player_ = createEnginePlayer();
  if (!player_) {
    qWarning("VLC player: the engine could not create a player");
    vlc::releaseEngine(instance_);
    instance_ = nullptr;
    return;
  }
  // The engine's prompts belong to the window the player sits in.
  dialogs_ = std::make_unique<vlc::VlcDialogs>(
      instance_, [area = area_] { return area ? area->window() : nullptr; });
  startTicking(kTickMs);
}

libvlc_media_player_t* VlcWindowsMediaPlayer::createEnginePlayer() {
  libvlc_media_player_t* player = libvlc_media_player_new(instance_);
  if (!player) return nullptr;
  // The surface's owner handles the mouse and keys (double click for full screen, menus).
  libvlc_video_set_mouse_input(player, 0);
  libvlc_video_set_key_input(player, 0);
  libvlc_event_manager_t* events = libvlc_media_player_event_manager(player);
  for (libvlc_event_e type : kPlayerEvents) {
    libvlc_event_attach(events, type, &VlcWindowsMediaPlayer::onEngineEvent, this);
  }
  return player;
}

void VlcWindowsMediaPlayer::detachEvents(libvlc_media_player_t* player) {
  // Detaching waits for a callback in progress, so none runs for this player afterwards.
  libvlc_event_manager_t* events = libvlc_media_player_event_manager(player);
  for (libvlc_event_e type : kPlayerEvents) {
    libvlc_event_detach(events, type, &VlcWindowsMediaPlayer::onEngineEvent, this);
  }
}

VlcWindowsMediaPlayer::~VlcWindowsMediaPlayer() {
  stopTicking();
  if (player_) {
    detachEvents(player_);
    libvlc_media_player_stop(player_);
    libvlc_media_player_release(player_);
    player_ = nullptr;
  }
  if (media_) libvlc_media_release(media_);
  media_ = nullptr;
  reaper_.reset();
  // Every player is stopped now, so no thread of the engine waits on a prompt any more.
  dialogs_.reset();
  vlc::releaseEngine(instance_);
  if (area_ && !area_->parent()) delete area_.data();
}

QWidget* VlcWindowsMediaPlayer::widget() { return area_; }

void VlcWindowsMediaPlayer::applyAudioSettings() {
  if (!engineReady()) return;
  if (volume_ >= 0) libvlc_audio_set_volume(player_, volume_);
  libvlc_audio_set_mute(player_, muted_ ? 1 : 0);
}
// ---- the contract --------------------------------------------------------------------------

void VlcWindowsMediaPlayer::setURL(const std::string& address) {
  url_ = address;
  if (!engineReady()) fail("The video engine did not start");
  haltEngine();
  // Errors of the previous address are gone, queued or not.
  ++addressNumber_;
  if (dialogs_) dialogs_->newAddress();
  errors_.clear();
  playlistDepth_ = 0;
  repeatsLeft_ = std::max(0, playCount_ - 1);
  unloadMedia();

  // libVLC opens the bare URL; the headers of its "|" suffix go with every request instead.
  StationAddress station = splitStationAddress(address);
  headers_ = std::move(station.headers);
  browserAgent_ = false;
  const vlc::ClassifiedAddress classified = vlc::classifyAddress(station.url, rtspHandled_);
  using Kind = vlc::ClassifiedAddress::Kind;
  libvlc_media_t* media = vlc::newMedia(instance_, classified);
  if (!media) {
    // Never handed to libVLC (an empty address hangs it). Reported from the event loop, as
    // the engine's own failures are, so the caller has returned from setURL first.
    const bool unsupported = classified.kind == Kind::Unsupported;
    const int32_t code = unsupported ? WmpError::UnsupportedProtocol : WmpError::InvalidAddress;
    const std::string description = unsupported
                                        ? "The protocol " + classified.scheme + " is not supported"
                                        : "The address is not valid: \"" + address + "\"";
    setState(WmpState::Transitioning);
    postWhileSameStream([this, code, description] {
      try {
        failWith(code, description);
      } catch (...) {
        qWarning("VLC player: an error handler failed");
      }
    });
    return;
  }
  startMedia(media, classified.address);
}

std::string VlcWindowsMediaPlayer::URL() const { return url_; }

void VlcWindowsMediaPlayer::close() {
  if (!engineReady()) return;
  haltEngine();
  unloadMedia();
  // A closed player has no errors: news of the stream it left must start nothing.
  errors_.clear();
  ++addressNumber_;
  setState(WmpState::Ready);
}

void VlcWindowsMediaPlayer::play() {
  if (!engineReady() || !media_) return;
  if (state_ == WmpState::Paused) {
    libvlc_media_player_set_pause(player_, 0);
    return;
  }
  if (state_ == WmpState::Playing || state_ == WmpState::Transitioning ||
      state_ == WmpState::Buffering) {
    return;
  }
  // Stopped, ended or failed: start over from the address (a playlist's entry included).
  libvlc_media_t* again = media_;
  libvlc_media_retain(again);
  haltEngine();
  repeatsLeft_ = std::max(0, playCount_ - 1);
  startMedia(again, source_);
}

void VlcWindowsMediaPlayer::pause() {
  if (!engineReady() || !media_) return;
  if (state_ == WmpState::Playing) libvlc_media_player_set_pause(player_, 1);
}

void VlcWindowsMediaPlayer::stop() {
  if (!engineReady() || !media_) return;
  haltEngine();
  setState(WmpState::Stopped);
}

void VlcWindowsMediaPlayer::setPlayCount(int count) {
  playCount_ = std::max(1, count);
  repeatsLeft_ = playCount_ - 1;
}

int VlcWindowsMediaPlayer::playState() const { return state_; }

std::string VlcWindowsMediaPlayer::versionInfo() const {
  if (!engineReady()) fail("The video engine did not start");
  return "9.0.0." + versionNumberOf(libvlc_get_version());
}

std::string VlcWindowsMediaPlayer::durationString() const {
  if (!engineReady() || !media_) return {};
  int64_t length = libvlc_media_player_get_length(player_);
  if (length <= 0) length = libvlc_media_get_duration(media_);
  return vlc::durationText(length);
}

std::string VlcWindowsMediaPlayer::sourceURL() const {
  return source_.empty() ? source_ : joinStationAddress(source_, headers_);
}

int VlcWindowsMediaPlayer::errorCount() const { return static_cast<int>(errors_.size()); }

PlayerError VlcWindowsMediaPlayer::errorItem(int index) const {
  if (index < 0 || index >= errorCount()) {
    fail("There is no error number " + std::to_string(index) + " in the queue");
  }
  return errors_[static_cast<size_t>(index)];
}

void VlcWindowsMediaPlayer::clearErrorQueue() { errors_.clear(); }
}  // namespace zelvo
