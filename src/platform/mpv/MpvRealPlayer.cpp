// The fallback player on libmpv: the player's life, its engine and the contract's calls. How
// mpv's news moves the state, the recording and the ASX fetch each have a file of their own.
#include "platform/mpv/MpvRealPlayer.h"

#include <mpv/client.h>

#include <QGuiApplication>
#include <QPalette>
#include <QWidget>
#include <cmath>

#include "platform/Failure.h"
#include "platform/mpv/MediaAddress.h"
#include "platform/mpv/MpvEngine.h"
#include "platform/qt/BoundedDownload.h"

namespace zelvo {

namespace {

constexpr const char* kContractVersion = "6.0.12.";
// How often the progress watch looks.
constexpr int kTickMs = 250;

}  // namespace

MpvRealPlayer::MpvRealPlayer(Options options, QWidget* parent) : options_(std::move(options)) {
  videoArea_ = new QWidget(parent);
  videoArea_->setObjectName("imagewindow");
  QPalette palette = videoArea_->palette();
  palette.setColor(QPalette::Window, QColor("#000000"));
  videoArea_->setPalette(palette);
  videoArea_->setAutoFillBackground(true);

  startTicking(kTickMs);
}

// mpv takes its video window only before it initializes, and the area's X window is final only
// once the area sits in the shown main window: the engine starts on first use.
void MpvRealPlayer::ensureEngine() {
  if (engineTried_) return;
  engineTried_ = true;
  mpv::EngineOptions options = {
      // Outputs that can draw into our window; SDL, next in mpv's own order, opens a window of
      // its own where there is no OpenGL (a remote or virtual X display).
      {"vo", "gpu,xv,x11"},
      // Only the context that draws into an X window. Left to choose, gpu goes on to probe
      // contexts of its own screen (Vulkan on a display, DRM, Wayland) wherever EGL on X fails
      // (no GPU, a virtual or remote display); the Vulkan display one, failing, closes fd 0
      // though it never opened it, and the next X connection of an engine that gets fd 0 is
      // then cut by the next such close.
      {"gpu-context", "x11egl"},
      {"network-timeout", "10"},
      // The window keeps mouse and keys; mpv draws pictures only.
      {"input-vo-keyboard", "no"},
      {"input-cursor", "no"},
      {"cursor-autohide", "no"},
      {"background", "#000000"},
      {"audio-client-name", "zelvo"},
  };
  if (QGuiApplication::platformName() == "xcb") {
    videoArea_->setAttribute(Qt::WA_DontCreateNativeAncestors);
    videoArea_->setAttribute(Qt::WA_NativeWindow);
    options.emplace_back("wid", std::to_string(static_cast<int64_t>(videoArea_->winId())));
  } else {
    // Without an X window to draw into (offscreen, Wayland) mpv would open one of its own.
    options.emplace_back("vo", "null");
  }
  options.insert(options.end(), options_.extraOptions.begin(), options_.extraOptions.end());
  handle_ = mpv::startEngine(options, "warn");
  if (!handle_) return;
  // A fresh engine after one that shut down gets the settings the caller made on the old one.
  for (const auto& [name, value] : settings_) {
    mpv_set_property_string(handle_, name.c_str(), value.c_str());
  }
  mpv_observe_property(handle_, kPause, "pause", MPV_FORMAT_FLAG);
  mpv_observe_property(handle_, kPausedForCache, "paused-for-cache", MPV_FORMAT_FLAG);
  mpv_observe_property(handle_, kSeeking, "seeking", MPV_FORMAT_FLAG);
  mpv_observe_property(handle_, kTimePos, "time-pos", MPV_FORMAT_DOUBLE);
  mpv_observe_property(handle_, kDuration, "duration", MPV_FORMAT_DOUBLE);
  mpv_observe_property(handle_, kBufferingState, "cache-buffering-state", MPV_FORMAT_INT64);
  mpv_observe_property(handle_, kTrackList, "track-list", MPV_FORMAT_NODE);
  wakeup_.attach(handle_);
}

MpvRealPlayer::~MpvRealPlayer() {
  stopTicking();
  releaseRecorder();
  newGeneration();
  cancelFetch();
  mpv::destroyEngine(handle_);
  handle_ = nullptr;
  delete videoArea_.data();
}

QWidget* MpvRealPlayer::widget() const { return videoArea_.data(); }

void MpvRealPlayer::requireEngine() const {
  if (!engineReady()) fail("the mpv engine did not start");
}

// 102
void MpvRealPlayer::setSource(const std::string& address) { source_ = address; }

// 102
std::string MpvRealPlayer::source() const { return source_; }

// 257
void MpvRealPlayer::doPlay() {
  requireEngine();
  lettingGo_ = false;
  if (state_ == RealState::Paused && phase_ == Phase::Loaded && clipSource_ == source_) {
    setEngineProperty("pause", "no");
    return;
  }
  // Whatever is still queued about the previous clip is dropped from here on.
  ++clipNumber_;
  newGeneration();
  cancelFetch();
  stopWatch();
  resetClip();
  clipSource_ = source_;
  // mpv opens the bare URL; the headers of its "|" suffix go with every request instead.
  const StationAddress station = splitStationAddress(source_);
  headers_ = station.headers;
  browserAgent_ = false;
  if (!mpv::isWellFormedAddress(station.url)) {
    stopEngine();
    failPlayback(MpvRealError::BadAddress, "The address cannot be played.",
                 "malformed address: '" + source_ + "'");
    return;
  }
  networkSource_ = mpv::isNetworkAddress(station.url);
  progressMade();
  setState(networkSource_ ? RealState::Contacting : RealState::Buffering);
  if (!mpv::isAsxAddress(station.url)) {
    loadIntoEngine(station.url);
  } else if (networkSource_) {
    fetchPlaylist(station.url);
  } else {
    readLocalPlaylist(station.url);
  }
}

// 258
void MpvRealPlayer::doPause() {
  requireEngine();
  if (phase_ == Phase::Opening || phase_ == Phase::Loaded) setEngineProperty("pause", "yes");
}

// 202
void MpvRealPlayer::doStop() {
  newGeneration();
  cancelFetch();
  stopWatch();
  if (handle_) stopEngine();
  resetClip();
  setState(RealState::Stopped);
}

// 206
void MpvRealPlayer::clearQueuedClips() {
  ++clipNumber_;
  lettingGo_ = true;
  if (!handle_) return;
  const char* command[] = {"playlist-clear", nullptr};
  mpv_command(handle_, command);
}

// 273
void MpvRealPlayer::setAutoStart(bool on) { autoStart_ = on; }

// 326
void MpvRealPlayer::setWantErrors(bool on) { wantErrors_ = on; }

// 271
void MpvRealPlayer::setCacheSeconds(int32_t seconds) {
  if (seconds <= 0) return;  // mpv keeps its own default rather than no cache at all
  const std::string value = std::to_string(seconds);
  keepSetting("cache-secs", value);
  keepSetting("demuxer-readahead-secs", value);
}

// 231
void MpvRealPlayer::setMaintainAspect(bool on) { keepSetting("keepaspect", on ? "yes" : "no"); }

// 307
void MpvRealPlayer::setVideoEnabled(bool on) { keepSetting("vid", on ? "auto" : "no"); }

// 275
void MpvRealPlayer::setAudioEnabled(bool on) { keepSetting("aid", on ? "auto" : "no"); }

// 221
void MpvRealPlayer::setWantStatusEvents(bool on) { wantStatusEvents_ = on; }

// 329
std::string MpvRealPlayer::versionInfo() const {
  requireEngine();
  const unsigned long api = mpv_client_api_version();
  return kContractVersion + std::to_string((api >> 16) * 1000 + (api & 0xffff));
}

// 260
int MpvRealPlayer::playState() const { return state_; }

// 261
int32_t MpvRealPlayer::lengthMs() const {
  if (phase_ != Phase::Loaded || !(durationSeconds_ > 0)) return 0;
  return static_cast<int32_t>(std::llround(durationSeconds_ * 1000.0));
}

// 331
std::string MpvRealPlayer::lastStatus() const { return status_; }

// 293
void MpvRealPlayer::showImageWindow() {
  // Without a place in the player's area, showing the picture would open a window of its own.
  if (!videoArea_ || !videoArea_->parentWidget()) return;
  videoArea_->show();
  videoArea_->raise();
}

void MpvRealPlayer::keepSetting(const char* name, const std::string& value) {
  setEngineProperty(name, value);
  settings_[name] = value;
}

void MpvRealPlayer::setEngineProperty(const char* name, const std::string& value) {
  requireEngine();
  const int rc = mpv_set_property_string(handle_, name, value.c_str());
  if (rc < 0) {
    fail(std::string("the engine refused ") + name + "=" + value + ": " + mpv_error_string(rc));
  }
}

}  // namespace zelvo
