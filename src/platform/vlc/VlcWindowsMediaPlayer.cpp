// The Windows Media Player contract on libVLC. libVLC's events are only posted from its
// threads; every decision is taken on the UI thread, stamped with the stream it belongs to, and
// every contract event is queued so that it reaches the caller after its call has returned.
#include "platform/vlc/VlcWindowsMediaPlayer.h"

#include <vlc/vlc.h>

#include <QGuiApplication>
#include <QPalette>
#include <QStackedLayout>
#include <QVBoxLayout>
#include <QWidget>
#include <algorithm>
#include <cstdio>
#include <sstream>

#include "platform/BrowserAgent.h"
#include "platform/Failure.h"
#include "platform/qt/EngineEvents.h"
#include "platform/vlc/VlcAddress.h"
#include "platform/vlc/VlcControlStrip.h"
#include "platform/vlc/VlcDialogs.h"
#include "platform/vlc/VlcEngine.h"
#include "platform/vlc/VlcVideoOutput.h"

namespace zelvo {

namespace {

constexpr int kTickMs = 250;
constexpr int kPlaylistDepthLimit = 8;
// A clip of known length that ends further than this before its length was cut short.
constexpr int64_t kEarlyEndSlackMs = 3000;
// A stream read to less than this part of its size at its end was cut short.
constexpr float kWholeStreamPosition = 0.95f;
// A stream that played and then brought no new picture for this long has stalled: it fails, so
// that whoever plays it can reopen it.
constexpr int64_t kStallMs = 10000;

constexpr libvlc_event_e kPlayerEvents[] = {
    libvlc_MediaPlayerOpening,     libvlc_MediaPlayerBuffering,  libvlc_MediaPlayerPlaying,
    libvlc_MediaPlayerPaused,      libvlc_MediaPlayerEndReached, libvlc_MediaPlayerEncounteredError,
    libvlc_MediaPlayerTimeChanged, libvlc_MediaPlayerVout,
};

bool onX11() { return QGuiApplication::platformName() == QLatin1String("xcb"); }

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

  // The area may go with its parent window before this player does; libVLC must stop drawing.
  connect(area_, &QObject::destroyed, this, [this] { haltEngine(Halt::WaitForEngine); });

  tick_.setInterval(kTickMs);
  connect(&tick_, &QTimer::timeout, this, &VlcWindowsMediaPlayer::onTick);

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
  tick_.start();
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
  tick_.stop();
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
  const uint64_t generation = self->generation_.load();
  postGuarded(self, [self, copy, generation] { self->handleEngineEvent(copy, generation); });
}

// ---- UI thread ---------------------------------------------------------------------------

void VlcWindowsMediaPlayer::handleEngineEvent(EngineEvent event, uint64_t generation) {
  if (generation != generation_.load() || !media_ || failed_) return;
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
          sinceProgress_.restart();
          setState(WmpState::Playing);
        }
        break;
      case libvlc_MediaPlayerPaused:
        setState(WmpState::Paused);
        break;
      case libvlc_MediaPlayerTimeChanged:
        if (event.number > 0 && event.number != lastTime_) {
          lastTime_ = event.number;
          sinceProgress_.restart();
          markStarted();
        }
        break;
      case libvlc_MediaPlayerVout:
        if (event.number > 0) markStarted();
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
  sinceProgress_.restart();
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

void VlcWindowsMediaPlayer::onTick() {
  if (!engineReady() || !media_) return;
  if (!recordPath_.empty()) {
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
  const bool waitingForProgress =
      !failed_ && (state_ == WmpState::Transitioning || state_ == WmpState::Buffering ||
                   state_ == WmpState::Waiting || state_ == WmpState::Playing);
  const int64_t bound =
      started_ ? std::min<int64_t>(options_.watchdogMs, kStallMs) : options_.watchdogMs;
  if (waitingForProgress && sinceProgress_.isValid() && sinceProgress_.elapsed() > bound) {
    // The HLS and DASH module goes on asking for refused segments without failing.
    if (!started_ && retriedAsBrowser(log_.take())) return;
    const std::string reason =
        started_ ? "The stream stopped arriving: " : "The stream did not start in time: ";
    failWith(WmpError::Timeout, reason + source_);
  }
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
  // Events already posted for the stopped stream carry the old number and are dropped.
  ++generation_;
  started_ = false;
  lastTime_ = -1;
  failed_ = false;
  sinceProgress_.invalidate();
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
  sinceProgress_.restart();
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
  post([this, state] { playStateChange.raise(state); });
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
  post([this, address] {
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

void VlcWindowsMediaPlayer::post(std::function<void()> raiseEvent) {
  postGuarded(this, std::move(raiseEvent));
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
    postWhileCurrent(this, generation_, [this, code, description] {
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

// ---- recording ---------------------------------------------------------------------------

namespace {
constexpr uint32_t fourcc(const char (&code)[5]) {
  return uint32_t(uint8_t(code[0])) | uint32_t(uint8_t(code[1])) << 8 |
         uint32_t(uint8_t(code[2])) << 16 | uint32_t(uint8_t(code[3])) << 24;
}

// The muxer that keeps every track of the stream playable. MPEG-TS carries the codecs of
// broadcast television; Windows Media keeps its own container; anything else goes into Matroska,
// which players recognise by its content whatever the file is called.
std::string muxerFor(libvlc_media_t* media) {
  static const uint32_t transportStream[] = {fourcc("mpgv"), fourcc("mp1v"), fourcc("mp2v"),
                                             fourcc("mp4v"), fourcc("h264"), fourcc("hevc"),
                                             fourcc("mpga"), fourcc("mp3 "), fourcc("mp4a"),
                                             fourcc("a52 "), fourcc("eac3"), fourcc("dts ")};
  static const uint32_t windowsMedia[] = {fourcc("WMV1"), fourcc("WMV2"), fourcc("WMV3"),
                                          fourcc("WVC1"), fourcc("WMA1"), fourcc("WMA2"),
                                          fourcc("WMAP"), fourcc("WMAL")};
  const auto among = [](uint32_t codec, const auto& codecs) {
    return std::find(std::begin(codecs), std::end(codecs), codec) != std::end(codecs);
  };
  libvlc_media_track_t** tracks = nullptr;
  const unsigned count = libvlc_media_tracks_get(media, &tracks);
  bool ts = true, asf = true;
  for (unsigned i = 0; i < count; ++i) {
    if (tracks[i]->i_type != libvlc_track_video && tracks[i]->i_type != libvlc_track_audio)
      continue;
    ts = ts && among(tracks[i]->i_codec, transportStream);
    asf = asf && among(tracks[i]->i_codec, windowsMedia);
  }
  if (tracks) libvlc_media_tracks_release(tracks, count);
  if (ts) return "ts";
  return asf ? "asf" : "avformat{mux=matroska}";
}

// A value of a stream output chain, quoted: a path may hold blanks, commas and braces.
std::string chainValue(const std::string& text) {
  std::string quoted = "\"";
  for (char c : text) {
    if (c == '\\' || c == '"' || c == '\'') quoted += '\\';
    quoted += c;
  }
  return quoted + "\"";
}
}  // namespace

void VlcWindowsMediaPlayer::startRecording(const std::string& path) {
  if (!engineReady() || !media_ || !started_ ||
      (state_ != WmpState::Playing && state_ != WmpState::Paused)) {
    fail("nothing plays that could be recorded");
  }
  if (!recordPath_.empty()) fail("a recording runs already");
  // libVLC 3 adds an output only to a stream it opens: the picture goes on as before, and a
  // copy of the stream goes into the file as it arrives.
  libvlc_media_t* media =
      reopenedMedia(":sout=#duplicate{dst=display,dst=std{access=file,mux=" + muxerFor(media_) +
                    ",dst=" + chainValue(path) + "}}");
  if (!media) fail("the stream could not be opened again to record it");
  log_.takeAlarm();
  restartQuietly(media);
  recordPath_ = path;
}

void VlcWindowsMediaPlayer::stopRecording() {
  if (recordPath_.empty()) return;
  recordPath_.clear();
  if (!engineReady() || !media_) return;
  // The player that wrote the file is retired in the background and closes it when it stops.
  if (libvlc_media_t* media = reopenedMedia("")) restartQuietly(media);
}

libvlc_media_t* VlcWindowsMediaPlayer::reopenedMedia(const std::string& option) {
  char* mrl = libvlc_media_get_mrl(media_);
  if (!mrl) return nullptr;
  libvlc_media_t* media = libvlc_media_new_location(instance_, mrl);
  libvlc_free(mrl);
  if (media && !option.empty()) libvlc_media_add_option(media, option.c_str());
  return media;
}

void VlcWindowsMediaPlayer::restartQuietly(libvlc_media_t* media) {
  haltEngine();
  quietRestart_ = true;
  startMedia(media, source_);
}

void VlcWindowsMediaPlayer::endRecording(const std::string& problem) {
  if (recordPath_.empty()) return;
  const std::string path = recordPath_;
  recordPath_.clear();
  post([this, path, problem] { recordingStopped.raise(path, problem); });
}

// ---- the control strip ---------------------------------------------------------------------

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
  sinceProgress_.restart();
  const double newPosition = double(target) / 1000.0;
  post([this, oldPosition, newPosition] { positionChange.raise(oldPosition, newPosition); });
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
