// How libVLC's news moves the player: its events, posted from libVLC's threads and taken on the
// UI thread; the end of a stream or of a playlist; the progress watch; failures.
#include <vlc/vlc.h>

#include <QGuiApplication>
#include <QStackedLayout>
#include <QWidget>
#include <algorithm>

#include "platform/BrowserAgent.h"
#include "platform/vlc/VlcAddress.h"
#include "platform/vlc/VlcControlStrip.h"
#include "platform/vlc/VlcDialogs.h"
#include "platform/vlc/VlcWindowsMediaPlayer.h"

namespace zelvo {

namespace {

constexpr int kPlaylistDepthLimit = 8;
// A clip of known length that ends further than this before its length was cut short.
constexpr int64_t kEarlyEndSlackMs = 3000;
// A stream read to less than this part of its size at its end was cut short.
constexpr float kWholeStreamPosition = 0.95f;
// A stream that played and then brought no new picture for this long has stalled: it fails, so
// that whoever plays it can reopen it.
constexpr int64_t kStallMs = 10000;

bool onX11() { return QGuiApplication::platformName() == QLatin1String("xcb"); }
}  // namespace

// ---- libVLC threads --------------------------------------------------------------------

bool VlcWindowsMediaPlayer::worthKeeping(int level, const std::string& message) {
  if (level >= LIBVLC_WARNING) return true;
  // A few debug lines tell whether the server was reached at all.
  return message.find("connection succeeded") != std::string::npos ||
         message.find("answer code") != std::string::npos;
}

void VlcWindowsMediaPlayer::onEngineEvent(const libvlc_event_t* event, void* data) {
  auto* self = static_cast<VlcWindowsMediaPlayer*>(data);
  EngineEvent copy;
  copy.type = event->type;
  if (event->type == libvlc_MediaPlayerTimeChanged) {
    copy.number = event->u.media_player_time_changed.new_time;
  } else if (event->type == libvlc_MediaPlayerVout) {
    copy.number = event->u.media_player_vout.new_count;
  }
  self->postWhileSameStream([self, copy] { self->handleEngineEvent(copy); });
}

// ---- UI thread ---------------------------------------------------------------------------

void VlcWindowsMediaPlayer::handleEngineEvent(EngineEvent event) {
  if (!media_ || failed_) return;
  try {
    switch (event.type) {
      case libvlc_MediaPlayerOpening:
        if (!started_) setState(WmpState::Transitioning);
        break;
      case libvlc_MediaPlayerBuffering:
        if (!started_) setState(WmpState::Buffering);
        break;
      case libvlc_MediaPlayerPlaying:
        // libVLC says "playing" as soon as the stream is open; only a resume is believed here.
        if (started_) {
          progressMade();
          setState(WmpState::Playing);
        }
        break;
      case libvlc_MediaPlayerPaused:
        setState(WmpState::Paused);
        break;
      case libvlc_MediaPlayerTimeChanged:
        if (event.number > 0 && event.number != lastTime_) {
          lastTime_ = event.number;
          progressMade();
          markStarted();
        }
        break;
      case libvlc_MediaPlayerVout:
        if (event.number > 0) markStarted();
        break;
      case libvlc_MediaPlayerESAdded:
      case libvlc_MediaPlayerESDeleted:
      case libvlc_MediaPlayerESSelected:
        announceTracks();
        break;
      case libvlc_MediaPlayerEndReached:
        handleEnd();
        break;
      case libvlc_MediaPlayerEncounteredError: {
        const std::vector<std::string> logged = log_.take();
        if (retriedAsBrowser(logged)) break;
        failWith(vlc::errorCodeFromLog(logged), "The stream could not be opened: " + source_);
        break;
      }
      default:
        break;
    }
  } catch (const std::exception& problem) {
    qWarning("VLC player: an event handler failed: %s", problem.what());
  } catch (...) {
    qWarning("VLC player: an event handler failed");
  }
}

void VlcWindowsMediaPlayer::markStarted() {
  if (started_) return;
  started_ = true;
  quietRestart_ = false;
  progressMade();
  setState(WmpState::Playing);
}

void VlcWindowsMediaPlayer::handleEnd() {
  if (libvlc_media_t* entry = vlc::firstEntry(media_)) {
    // A playlist "ends" as soon as it is read; its first entry is what is to be played.
    if (++playlistDepth_ > kPlaylistDepthLimit) {
      libvlc_media_release(entry);
      failWith(WmpError::Generic, "The playlist refers to itself: " + url_);
      return;
    }
    char* mrl = libvlc_media_get_mrl(entry);
    std::string entryAddress = mrl ? mrl : "";
    libvlc_free(mrl);
    haltEngine();
    startMedia(entry, entryAddress);
    return;
  }
  if (!started_) {
    const std::vector<std::string> logged = log_.take();
    if (retriedAsBrowser(logged)) return;
    failWith(vlc::errorCodeFromLog(logged), "Nothing playable was found at " + source_);
    return;
  }
  // A stream that ends well before its length, or before all of its bytes (the position of a
  // stream whose size is known), was cut off: the server went away. A live stream knows neither.
  const int64_t length = libvlc_media_player_get_length(player_);
  const float position = libvlc_media_player_get_position(player_);
  if ((length > 0 && lastTime_ >= 0 && lastTime_ < length - kEarlyEndSlackMs) ||
      (position > 0.0f && position < kWholeStreamPosition)) {
    failWith(WmpError::Generic, "The stream broke off before its end: " + source_);
    return;
  }
  if (repeatsLeft_ > 0) {
    --repeatsLeft_;
    libvlc_media_t* again = media_;
    libvlc_media_retain(again);
    haltEngine();
    startMedia(again, source_);
    return;
  }
  setState(WmpState::MediaEnded);
}

void VlcWindowsMediaPlayer::tick() {
  if (!engineReady() || !media_) return;
  if (!recordingPath().empty()) {
    if (const std::string problem = log_.takeAlarm(); !problem.empty()) {
      endRecording(problem);
      if (libvlc_media_t* media = reopenedMedia("")) restartQuietly(media);
    }
  }
  const int64_t length = libvlc_media_player_get_length(player_);
  const int64_t time = libvlc_media_player_get_time(player_);
  if (controls_)
    controls_->showPosition(length > 0 && time >= 0 ? double(time) / double(length) : 0.0,
                            started_ && libvlc_media_player_is_seekable(player_));
}

std::optional<int64_t> VlcWindowsMediaPlayer::progressBoundMs() const {
  const bool waitingForProgress =
      engineReady() && media_ && !failed_ &&
      (state_ == WmpState::Transitioning || state_ == WmpState::Buffering ||
       state_ == WmpState::Waiting || state_ == WmpState::Playing);
  if (!waitingForProgress) return std::nullopt;
  return started_ ? std::min<int64_t>(options_.watchdogMs, kStallMs) : options_.watchdogMs;
}

void VlcWindowsMediaPlayer::progressLost(int64_t) {
  // The HLS and DASH module goes on asking for refused segments without failing.
  if (!started_ && retriedAsBrowser(log_.take())) return;
  const std::string reason =
      started_ ? "The stream stopped arriving: " : "The stream did not start in time: ";
  failWith(WmpError::Timeout, reason + source_);
}

void VlcWindowsMediaPlayer::haltEngine(Halt how) {
  endRecording();
  quietRestart_ = false;
  if (engineReady() && engineBusy_) {
    libvlc_media_player_t* fresh = how == Halt::InBackground ? createEnginePlayer() : nullptr;
    if (fresh) {
      // The old player stops on its own thread; the next stream starts on a fresh one.
      detachEvents(player_);
      reaper_->retire(player_, releaseDrawable());
      player_ = fresh;
      applyAudioSettings();
    } else {
      libvlc_media_player_stop(player_);
    }
    engineBusy_ = false;
  }
  // The stream's tracks go with it.
  if (engineBusy_ || media_) announceTracks();
  // Events already posted for the stopped stream carry the old number and are dropped.
  newGeneration();
  started_ = false;
  lastTime_ = -1;
  failed_ = false;
  stopWatch();
}

bool VlcWindowsMediaPlayer::retriedAsBrowser(const std::vector<std::string>& logged) {
  if (started_ || browserAgent_ || !headers_.userAgent.empty() || !media_ ||
      !vlc::refusedByServer(logged))
    return false;
  libvlc_media_t* again = reopenedMedia("");
  if (!again) return false;
  browserAgent_ = true;
  haltEngine();
  startMedia(again, source_);
  return true;
}

// Takes ownership of media.
void VlcWindowsMediaPlayer::startMedia(libvlc_media_t* media, const std::string& source) {
  // A restart hands in media_ itself, retained once more by the caller.
  if (media_) libvlc_media_release(media_);
  media_ = media;
  source_ = source;
  RequestHeaders headers = headers_;
  if (browserAgent_) headers.userAgent = kDesktopBrowserAgent;
  vlc::addRequestHeaders(media_, headers);
  log_.take();
  bindVideoSurface();
  libvlc_media_player_set_media(player_, media_);
  engineBusy_ = true;
  progressMade();
  if (libvlc_media_player_play(player_) != 0) {
    failWith(WmpError::Generic, "The engine could not start playing " + source);
    return;
  }
  setState(WmpState::Transitioning);
}

void VlcWindowsMediaPlayer::bindVideoSurface() {
  if (!videoSurface_ || !onX11()) return;
  if (!drawable_) {
    drawable_ = new QWidget(videoSurface_);
    // libVLC draws into the window, so it must have one and Qt must not paint over it.
    drawable_->setAttribute(Qt::WA_NativeWindow);
    drawable_->setAttribute(Qt::WA_DontCreateNativeAncestors);
    drawable_->setAttribute(Qt::WA_OpaquePaintEvent);
    drawable_->setAutoFillBackground(true);
    auto* stack = static_cast<QStackedLayout*>(videoSurface_->layout());
    stack->addWidget(drawable_);
    stack->setCurrentWidget(drawable_);
  }
  libvlc_media_player_set_xwindow(player_, static_cast<uint32_t>(drawable_->winId()));
}

std::function<void()> VlcWindowsMediaPlayer::releaseDrawable() {
  QPointer<QWidget> drawable = drawable_;
  drawable_ = nullptr;
  if (!drawable) return {};
  return [this, drawable] { postGuarded(this, [drawable] { delete drawable.data(); }); };
}

void VlcWindowsMediaPlayer::setState(int state) {
  if (state == state_) return;
  if (quietRestart_ && (state == WmpState::Transitioning || state == WmpState::Buffering)) return;
  state_ = state;
  if (controls_)
    controls_->showPlaying(state == WmpState::Playing || state == WmpState::Buffering ||
                           state == WmpState::Transitioning);
  raiseLater([this, state] { playStateChange.raise(state); });
}

void VlcWindowsMediaPlayer::failWith(int32_t code, const std::string& description) {
  haltEngine();
  failed_ = true;
  // Nothing stays loaded: stop() and play() have nothing to act on until the next address.
  unloadMedia();
  // The error comes before the ready state: the window's error reaction moves a series on, and
  // the ready state's reaction then shows the template that moved.
  errors_.push_back({code, description});
  const uint64_t address = addressNumber_;
  raiseLater([this, address] {
    if (address == addressNumber_) error.raise();
  });
  setState(WmpState::Ready);
}

void VlcWindowsMediaPlayer::unloadMedia() {
  if (media_) {
    if (player_) libvlc_media_player_set_media(player_, nullptr);
    libvlc_media_release(media_);
    media_ = nullptr;
  }
  source_.clear();
  if (controls_) controls_->showPosition(0.0, false);
}

}  // namespace zelvo
