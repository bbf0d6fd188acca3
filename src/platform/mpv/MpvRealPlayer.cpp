// The fallback player on libmpv. What mpv reports is read on the UI thread after a queued wakeup;
// a generation counter keeps late news of an earlier address away from the current one.
#include "platform/mpv/MpvRealPlayer.h"

#include <mpv/client.h>

#include <QFile>
#include <QGuiApplication>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QPalette>
#include <QWidget>
#include <algorithm>
#include <cmath>
#include <exception>
#include <filesystem>
#include <set>

#include "platform/BrowserAgent.h"
#include "platform/Failure.h"
#include "platform/mpv/MediaAddress.h"
#include "platform/mpv/MpvEngine.h"
#include "platform/qt/EngineEvents.h"

namespace zelvo {

namespace {

constexpr const char* kContractVersion = "6.0.12.";
constexpr qint64 kMaxPlaylistBytes = 1 << 20;
constexpr int kMaxPlaylistFetchMs = 10000;
// A clip with a known length that ends further than this before it is cut short, not over.
constexpr double kEarlyEndSlackSeconds = 3.0;
// A stream that played and then brought no new picture for this long has stalled: it fails, so
// that whoever plays it can reopen it.
constexpr int kStallMs = 10000;

enum ObservedProperty : uint64_t {
  kPause = 1,
  kPausedForCache,
  kSeeking,
  kTimePos,
  kDuration,
  kBufferingState,
};

bool flagOf(const void* data, int format) {
  return format == MPV_FORMAT_FLAG && *static_cast<const int*>(data) != 0;
}

std::string statusFor(int state) {
  switch (state) {
    case RealState::Contacting:
      return kRealStatusContacting;
    case RealState::Buffering:
      return "Buffering";
    case RealState::Playing:
      return "Playing";
    case RealState::Paused:
      return "Paused";
    default:
      return "Stopped";
  }
}

// Codecs, as ffmpeg names them, that an MPEG-TS file carries so that players read them back.
bool fitsTransportStream(const std::string& codec) {
  static const std::set<std::string> carried = {"mpeg1video", "mpeg2video", "mpeg4", "h264",
                                                "hevc",       "mp1",        "mp2",   "mp3",
                                                "aac",        "ac3",        "eac3",  "dts"};
  return codec.empty() || carried.count(codec) > 0;
}

}  // namespace

MpvRealPlayer::MpvRealPlayer(Options options, QWidget* parent) : options_(std::move(options)) {
  videoArea_ = new QWidget(parent);
  videoArea_->setObjectName("imagewindow");
  QPalette palette = videoArea_->palette();
  palette.setColor(QPalette::Window, QColor("#000000"));
  videoArea_->setPalette(palette);
  videoArea_->setAutoFillBackground(true);

  watchdog_.setSingleShot(true);
  connect(&watchdog_, &QTimer::timeout, this, [this] { watchdogExpired(); });
  stallCheck_.setInterval(1000);
  connect(&stallCheck_, &QTimer::timeout, this, [this] { checkForStall(); });
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
  wakeup_.attach(handle_);
}

MpvRealPlayer::~MpvRealPlayer() {
  watchdog_.stop();
  releaseRecorder();
  ++generation_;
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
  ++generation_;
  cancelFetch();
  watchdog_.stop();
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
  watchdog_.start(options_.watchdogMs);
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
  ++generation_;
  cancelFetch();
  watchdog_.stop();
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

void MpvRealPlayer::drainEvents() {
  wakeup_.draining();
  mpv::drainEvents(
      handle_, [this](const mpv_event& event) { handleEvent(event); }, [this] { engineDied(); });
}

void MpvRealPlayer::handleEvent(const mpv_event& event) {
  switch (event.event_id) {
    case MPV_EVENT_START_FILE: {
      const auto* start = static_cast<const mpv_event_start_file*>(event.data);
      if (phase_ != Phase::Opening || entryStarted_) return;
      if (entryId_ == 0) entryId_ = start->playlist_entry_id;
      entryStarted_ = start->playlist_entry_id == entryId_;
      return;
    }
    case MPV_EVENT_FILE_LOADED: {
      if (phase_ != Phase::Opening || !entryStarted_) return;
      phase_ = Phase::Loaded;
      int seekable = 1;
      if (mpv_get_property(handle_, "seekable", MPV_FORMAT_FLAG, &seekable) >= 0)
        seekable_ = seekable != 0;
      const int32_t length = lengthMs();
      const std::string opened = openedAddress_;
      post([this, length, opened] { presentationEvent.raise(kMpvClipOpened, length, opened); });
      updateState();
      return;
    }
    case MPV_EVENT_END_FILE:
      handleEndFile(event);
      return;
    case MPV_EVENT_PROPERTY_CHANGE: {
      const auto* property = static_cast<const mpv_event_property*>(event.data);
      handleProperty(event.reply_userdata, property->data, property->format);
      return;
    }
    case MPV_EVENT_LOG_MESSAGE: {
      const auto& message = *static_cast<const mpv_event_log_message*>(event.data);
      // Warnings come only for the refusal a server gave (FFmpeg warns of HTTP errors).
      if (mpv::saysRefused(message.text) && entryStarted_) {
        refused_ = true;
        // FFmpeg's HLS and DASH readers go on past refused segments without failing.
        if (retriedAsBrowser()) return;
      }
      if (message.log_level > MPV_LOG_LEVEL_ERROR) return;
      lastEngineError_ = mpv::logLine(message);
      // The recorder reports a file it cannot open or write, and the demuxer gives it up.
      const std::string text = message.text;
      if (std::string(message.prefix) == "recorder" || text.find("recording") != std::string::npos)
        endRecording(lastEngineError_);
      return;
    }
    default:
      return;
  }
}

void MpvRealPlayer::handleEndFile(const mpv_event& event) {
  const auto* end = static_cast<const mpv_event_end_file*>(event.data);
  if (phase_ != Phase::Opening && phase_ != Phase::Loaded) return;
  if (!entryStarted_ || end->playlist_entry_id != entryId_) return;

  const std::string detail = [&] {
    std::string text = openedAddress_;
    if (end->reason == MPV_END_FILE_REASON_ERROR)
      text += ": " + std::string(mpv_error_string(end->error));
    if (!lastEngineError_.empty()) text += " (" + lastEngineError_ + ")";
    return text;
  }();

  switch (end->reason) {
    case MPV_END_FILE_REASON_REDIRECT:
      // The address was a playlist mpv understands; follow the first entry it put in its place.
      if (end->playlist_insert_id > 0) {
        entryId_ = end->playlist_insert_id;
        entryStarted_ = false;
        phase_ = Phase::Opening;
        return;
      }
      failPlayback(MpvRealError::PlaylistFailed, "The playlist has nothing to play.", detail);
      return;
    case MPV_END_FILE_REASON_ERROR:
      if (retriedAsBrowser()) return;
      failPlayback(MpvRealError::OpenFailed, "The clip could not be opened.", detail);
      return;
    case MPV_END_FILE_REASON_EOF: {
      if (phase_ != Phase::Loaded || !advanced_) {
        if (retriedAsBrowser()) return;
        failPlayback(MpvRealError::OpenFailed, "The clip could not be played.", detail);
        return;
      }
      // A live HLS or DASH stream gives the length of its playlist's window as its duration;
      // that it cannot be sought in tells it from a clip of that length.
      const bool live = !(durationSeconds_ > 0) || (networkSource_ && !seekable_);
      const bool cutShort = !live && lastPosition_ < durationSeconds_ - kEarlyEndSlackSeconds;
      if (live || cutShort) {
        failPlayback(MpvRealError::EndedEarly, "The stream ended unexpectedly.", detail);
        return;
      }
      ++generation_;
      watchdog_.stop();
      resetClip();
      setState(RealState::Stopped);
      return;
    }
    case MPV_END_FILE_REASON_QUIT:
      failPlayback(MpvRealError::EngineStopped, "The player stopped working.",
                   openedAddress_ + ": the engine is shutting down");
      return;
    default:
      // Stopped by someone else than doStop: over, but not a failure.
      ++generation_;
      watchdog_.stop();
      resetClip();
      setState(RealState::Stopped);
      return;
  }
}

void MpvRealPlayer::handleProperty(uint64_t id, const void* data, int format) {
  switch (id) {
    case kPause:
      paused_ = flagOf(data, format);
      sinceAdvance_.restart();  // a pause is no stall, and the wait starts anew after it
      break;
    case kPausedForCache:
      pausedForCache_ = flagOf(data, format);
      break;
    case kSeeking:
      seeking_ = flagOf(data, format);
      sinceAdvance_.restart();
      break;
    case kDuration:
      durationSeconds_ = format == MPV_FORMAT_DOUBLE ? *static_cast<const double*>(data) : 0;
      break;
    case kTimePos: {
      if (format != MPV_FORMAT_DOUBLE) break;
      const double position = *static_cast<const double*>(data);
      if (position != lastPosition_) sinceAdvance_.restart();
      lastPosition_ = position;
      // Only positions after the load belong to this clip; the first one is where it begins.
      if (phase_ != Phase::Loaded) break;
      if (!hasFirstPosition_) {
        hasFirstPosition_ = true;
        firstPosition_ = position;
      } else if (position > firstPosition_ + 0.01) {
        if (!advanced_) stallCheck_.start();
        advanced_ = true;
      }
      break;
    }
    case kBufferingState: {
      const int percent =
          format == MPV_FORMAT_INT64 ? static_cast<int>(*static_cast<const int64_t*>(data)) : -1;
      if (percent < 0 || percent == bufferPercent_ || phase_ != Phase::Loaded) break;
      bufferPercent_ = percent;
      if (wantStatusEvents_) post([this, percent] { bufferingProgress.raise(0, percent); });
      break;
    }
    default:
      return;
  }
  if (phase_ == Phase::Loaded) updateState();
}

void MpvRealPlayer::resetClip() {
  endRecording();
  phase_ = Phase::Idle;
  entryId_ = -1;
  entryStarted_ = false;
  networkSource_ = false;
  pausedForCache_ = false;
  seeking_ = false;
  advanced_ = false;
  seekable_ = true;
  stallCheck_.stop();
  hasFirstPosition_ = false;
  firstPosition_ = 0;
  lastPosition_ = 0;
  bufferPercent_ = -1;
  lastEngineError_.clear();
  openedAddress_.clear();
}

std::string MpvRealPlayer::trackCodec(const char* kind) const {
  const std::string property = std::string("current-tracks/") + kind + "/codec";
  char* codec = mpv_get_property_string(handle_, property.c_str());
  const std::string name = codec ? codec : "";
  mpv_free(codec);
  return name;
}

void MpvRealPlayer::startRecording(const std::string& path) {
  requireEngine();
  if (phase_ != Phase::Loaded || (state_ != RealState::Playing && state_ != RealState::Paused))
    fail("nothing plays that could be recorded");
  if (!recordPath_.empty()) fail("a recording runs already");
  namespace fs = std::filesystem;
  // mpv picks the file's format by the ending of its name, so it writes through a hidden link
  // beside the file whose name ends as the format should. MPEG-TS holds only some codecs (it
  // keeps Motion JPEG, for one, as data no player shows): other streams go into Matroska, which
  // players recognise by its content whatever the file is called.
  const bool transportStream =
      fitsTransportStream(trackCodec("video")) && fitsTransportStream(trackCodec("audio"));
  const std::string ending = transportStream ? ".ts" : ".mkv";
  std::string target = path;
  if (!path.ends_with(ending)) {
    const fs::path file(path);
    const fs::path link = file.parent_path() / ("." + file.filename().string() + ending);
    std::error_code error;
    fs::remove(link, error);
    fs::create_symlink(file.filename(), link, error);
    if (error) fail("cannot record into " + file.parent_path().string() + ": " + error.message());
    recordLink_ = link.string();
    target = recordLink_;
  }
  const int rc = mpv_set_property_string(handle_, "stream-record", target.c_str());
  if (rc < 0) {
    releaseRecorder();
    fail(std::string("the engine refused to record: ") + mpv_error_string(rc));
  }
  recordPath_ = path;
}

void MpvRealPlayer::stopRecording() {
  if (recordPath_.empty()) return;
  recordPath_.clear();
  releaseRecorder();
}

void MpvRealPlayer::releaseRecorder() {
  // stream-record outlives the clip in mpv: the next one would be written over the file.
  if (handle_) mpv_set_property_string(handle_, "stream-record", "");
  if (!recordLink_.empty()) {
    std::error_code ignored;
    std::filesystem::remove(recordLink_, ignored);
    recordLink_.clear();
  }
}

void MpvRealPlayer::endRecording(const std::string& problem) {
  if (recordPath_.empty()) return;
  const std::string path = recordPath_;
  recordPath_.clear();
  releaseRecorder();
  // Not with the clip's events: a clip let go of drops those, and this news must arrive.
  postGuarded(this, [this, path, problem] { recordingStopped.raise(path, problem); });
}

void MpvRealPlayer::readLocalPlaylist(const std::string& path) {
  const QUrl url = mpv::toUrl(path);
  QFile file(url.isLocalFile() ? url.toLocalFile() : QString::fromStdString(path));
  if (!file.open(QIODevice::ReadOnly)) {
    failPlayback(MpvRealError::PlaylistFailed, "The playlist could not be read.",
                 path + ": " + file.errorString().toStdString());
    return;
  }
  const auto entry = mpv::firstAsxEntry(file.read(kMaxPlaylistBytes), url);
  if (!entry) {
    failPlayback(MpvRealError::PlaylistFailed, "The playlist has nothing to play.",
                 path + ": no entry");
    return;
  }
  loadIntoEngine(*entry);
}

void MpvRealPlayer::fetchPlaylist(const std::string& address) {
  if (!network_) network_ = new QNetworkAccessManager(this);
  QNetworkRequest request(mpv::toUrl(address));
  const auto setHeader = [&request](const char* name, const std::string& value) {
    if (!value.empty()) request.setRawHeader(name, QByteArray::fromStdString(value));
  };
  setHeader("User-Agent", headers_.userAgent);
  setHeader("Referer", headers_.referrer);
  setHeader("Origin", headers_.origin);
  setHeader("Cookie", headers_.cookie);
  request.setTransferTimeout(std::min(options_.watchdogMs, kMaxPlaylistFetchMs));
  request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                       QNetworkRequest::NoLessSafeRedirectPolicy);
  phase_ = Phase::Fetching;
  QNetworkReply* reply = network_->get(request);
  pendingFetch_ = reply;
  const unsigned generation = generation_;
  connect(reply, &QNetworkReply::downloadProgress, reply, [reply](qint64 received, qint64) {
    if (received > kMaxPlaylistBytes) reply->abort();
  });
  connect(reply, &QNetworkReply::finished, this,
          [this, generation, reply] { playlistArrived(generation, reply); });
}

void MpvRealPlayer::playlistArrived(unsigned generation, QNetworkReply* reply) {
  reply->deleteLater();
  if (generation != generation_) return;
  pendingFetch_ = nullptr;
  const std::string address = reply->request().url().toString().toStdString();
  if (reply->error() != QNetworkReply::NoError) {
    failPlayback(MpvRealError::PlaylistFailed, "The playlist could not be read.",
                 address + ": " + reply->errorString().toStdString());
    return;
  }
  const auto entry = mpv::firstAsxEntry(reply->readAll(), reply->url());
  if (!entry) {
    failPlayback(MpvRealError::PlaylistFailed, "The playlist has nothing to play.",
                 address + ": no entry");
    return;
  }
  loadIntoEngine(*entry);
}

void MpvRealPlayer::cancelFetch() {
  if (QNetworkReply* reply = pendingFetch_.data()) {
    pendingFetch_ = nullptr;
    reply->abort();
  }
}

void MpvRealPlayer::loadIntoEngine(const std::string& address) {
  openedAddress_ = address;
  phase_ = Phase::Opening;
  entryStarted_ = false;
  refused_ = false;
  RequestHeaders headers = headers_;
  if (browserAgent_) headers.userAgent = kDesktopBrowserAgent;
  const int rc = mpv::loadFile(handle_, address, headers, entryId_);
  if (rc < 0) {
    failPlayback(MpvRealError::OpenFailed, "The clip could not be opened.",
                 address + ": " + mpv_error_string(rc));
  }
}

bool MpvRealPlayer::retriedAsBrowser() {
  if (advanced_ || browserAgent_ || !refused_ || !headers_.userAgent.empty() ||
      openedAddress_.empty())
    return false;
  browserAgent_ = true;
  const std::string address = openedAddress_;
  watchdog_.start(options_.watchdogMs);
  loadIntoEngine(address);
  return true;
}

void MpvRealPlayer::stopEngine() { mpv::stopPlayback(handle_); }

void MpvRealPlayer::failPlayback(int32_t code, const std::string& userText,
                                 const std::string& detail) {
  ++generation_;
  cancelFetch();
  watchdog_.stop();
  if (handle_) stopEngine();
  resetClip();
  post([this, code, userText, detail] {
    errorMessage.raise(kMpvRealSeverity, code, 0, userText, "", detail);
  });
  setState(RealState::Stopped, true);
}

void MpvRealPlayer::engineDied() {
  mpv_handle* dead = handle_;
  handle_ = nullptr;
  // The next call that needs the engine starts a fresh one.
  engineTried_ = false;
  mpv::destroyEngine(dead);
  if (phase_ != Phase::Idle) {
    failPlayback(
        MpvRealError::EngineStopped, "The player stopped working.",
        (openedAddress_.empty() ? clipSource_ : openedAddress_) + ": the engine shut down");
  }
}

void MpvRealPlayer::post(std::function<void()> raiseEvent) {
  if (lettingGo_) return;
  postWhileCurrent(this, clipNumber_, [this, raiseEvent = std::move(raiseEvent)] {
    if (!lettingGo_) raiseEvent();
  });
}

void MpvRealPlayer::watchdogExpired() {
  if (phase_ == Phase::Idle) return;
  const std::string address = openedAddress_.empty() ? source_ : openedAddress_;
  if (advanced_) {
    failPlayback(MpvRealError::NoProgress, "The stream stopped arriving.",
                 address + ": no new picture within " + std::to_string(stallBoundMs()) + " ms");
    return;
  }
  failPlayback(MpvRealError::NoProgress, "The stream did not start.",
               address + ": nothing played within " + std::to_string(options_.watchdogMs) + " ms");
}

void MpvRealPlayer::checkForStall() {
  if (phase_ != Phase::Loaded || !advanced_ || paused_ || !sinceAdvance_.isValid()) return;
  if (sinceAdvance_.elapsed() < stallBoundMs()) return;
  stallCheck_.stop();
  failPlayback(MpvRealError::NoProgress, "The stream stopped arriving.",
               openedAddress_ + ": the position stood still for " +
                   std::to_string(stallBoundMs()) + " ms");
}

int MpvRealPlayer::stallBoundMs() const { return std::min(options_.watchdogMs, kStallMs); }

void MpvRealPlayer::updateState() {
  int next = RealState::Playing;
  if (paused_) {
    next = RealState::Paused;
  } else if (pausedForCache_ || seeking_ || !advanced_) {
    next = RealState::Buffering;
  }
  if (next == RealState::Playing || next == RealState::Paused) {
    watchdog_.stop();
  } else if (!watchdog_.isActive()) {
    // A stall after playing has a shorter bound than the start.
    watchdog_.start(advanced_ ? stallBoundMs() : options_.watchdogMs);
  }
  setState(next);
}

void MpvRealPlayer::setState(int state, bool announceEvenIfSame) {
  if (state == state_ && !announceEvenIfSame) return;
  const int old = state_;
  state_ = state;
  status_ = statusFor(state);
  post([this, old, state] { stateChange.raise(old, state); });
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
