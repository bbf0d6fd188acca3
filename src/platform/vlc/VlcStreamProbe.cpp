// The probe on libVLC. The engine's threads only post news to the UI thread, through a sink
// that the probe can cut off; every decision is taken on the UI thread, stamped with the
// attempt it belongs to.
#include "platform/vlc/VlcStreamProbe.h"

#include <vlc/vlc.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <list>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/vlc/VlcAddress.h"

namespace zelvo {

namespace vlc {

// What the threads of one engine player see. It lives until that player has stopped.
struct ProbeSink {
  std::mutex mutex;
  QObject* probe = nullptr;  // null once the player is retired: nothing more is posted
  std::function<void(int news, const std::string& detail)> post;
  std::atomic<bool> decoded{false};
  // Pictures are scaled down to this and thrown away.
  static constexpr unsigned kSide = 16;
  alignas(16) unsigned char picture[kSide * kSide * 4] = {};

  void tell(int news, const std::string& detail) {
    std::lock_guard lock(mutex);
    if (probe && post) post(news, detail);
  }
  void cutOff() {
    std::lock_guard lock(mutex);
    probe = nullptr;
  }
};

// Stops and releases retired players on threads of their own, each with its sink.
class ProbeRetirement {
 public:
  ~ProbeRetirement() {
    for (auto& entry : retiring_) entry->thread.join();
  }
  void retire(libvlc_media_player_t* player, ProbeSink* sink) {
    joinFinished();
    auto entry = std::make_unique<Retiring>();
    Retiring* raw = entry.get();
    raw->thread = std::thread([player, sink, raw] {
      libvlc_media_player_stop(player);
      libvlc_media_player_release(player);
      delete sink;
      raw->done = true;
    });
    retiring_.push_back(std::move(entry));
  }

 private:
  struct Retiring {
    std::thread thread;
    std::atomic<bool> done{false};
  };
  void joinFinished() {
    for (auto it = retiring_.begin(); it != retiring_.end();) {
      if ((*it)->done) {
        (*it)->thread.join();
        it = retiring_.erase(it);
      } else {
        ++it;
      }
    }
  }
  std::list<std::unique_ptr<Retiring>> retiring_;
};

}  // namespace vlc

namespace {

constexpr int kPlaylistDepthLimit = 8;
constexpr libvlc_event_e kPlayerEvents[] = {libvlc_MediaPlayerEncounteredError,
                                            libvlc_MediaPlayerEndReached};

// Things libVLC logs when it has no module for what it was given, as opposed to a server that
// failed to deliver.
constexpr const char* kNotUnderstood[] = {"no suitable demux module", "no access_demux module",
                                          "no access modules matched", "unknown protocol",
                                          "no suitable access module"};

std::string seconds(int milliseconds) {
  const int tenths = (milliseconds + 50) / 100;
  std::string text = std::to_string(tenths / 10);
  if (tenths % 10 != 0) text += "." + std::to_string(tenths % 10);
  return text + " s";
}

unsigned formatPictures(void**, char* chroma, unsigned* width, unsigned* height, unsigned* pitches,
                        unsigned* lines) {
  std::copy_n("RV32", 4, chroma);
  *width = *height = vlc::ProbeSink::kSide;
  *pitches = vlc::ProbeSink::kSide * 4;
  *lines = vlc::ProbeSink::kSide;
  return 1;
}

void* lockPicture(void* opaque, void** planes) {
  planes[0] = static_cast<vlc::ProbeSink*>(opaque)->picture;
  return nullptr;
}

void displayPicture(void* opaque, void*) {
  auto* sink = static_cast<vlc::ProbeSink*>(opaque);
  if (sink->decoded.exchange(true)) return;
  sink->tell(0, "video");
}

void playSamples(void* opaque, const void*, unsigned count, int64_t) {
  auto* sink = static_cast<vlc::ProbeSink*>(opaque);
  if (count == 0 || sink->decoded.exchange(true)) return;
  sink->tell(0, "audio");
}

void onPlayerEvent(const libvlc_event_t* event, void* opaque) {
  auto* sink = static_cast<vlc::ProbeSink*>(opaque);
  sink->tell(event->type == libvlc_MediaPlayerEndReached ? 2 : 1, {});
}

}  // namespace

struct VlcStreamProbe::Log {
  std::mutex mutex;
  std::string lastProblem;
};

VlcStreamProbe::VlcStreamProbe()
    : retirement_(std::make_unique<vlc::ProbeRetirement>()), log_(std::make_unique<Log>()) {
  timeout_.setSingleShot(true);
  // A coarse timer may fire up to 5% early: an address gets all of its time.
  timeout_.setTimerType(Qt::PreciseTimer);
  connect(&timeout_, &QTimer::timeout, this, [this] {
    if (running_) {
      conclude(ProbeResult::Outcome::Dead, "nothing decoded within " + seconds(timeoutMs_));
    }
  });
}

VlcStreamProbe::~VlcStreamProbe() {
  timeout_.stop();
  ++attempt_;
  retirePlayer();
  retirement_.reset();
  if (media_) libvlc_media_release(media_);
  if (instance_) {
    libvlc_log_unset(instance_);
    libvlc_release(instance_);
  }
}

bool VlcStreamProbe::ensureEngine() {
  if (engineTried_) return instance_ != nullptr;
  engineTried_ = true;
  std::vector<const char*> arguments = {"--quiet",
                                        "--no-video-title-show",
                                        "--no-stats",
                                        "--no-sub-autodetect-file",
                                        "--network-caching=300",
                                        "--no-snapshot-preview"};
  // Only a build with an RTSP client knows this option, and libVLC refuses unknown ones.
  rtspHandled_ = vlc::engineHasRtspClient();
  if (rtspHandled_) arguments.push_back("--rtsp-tcp");
  instance_ = libvlc_new(static_cast<int>(arguments.size()), arguments.data());
  if (!instance_) return false;
  libvlc_log_set(instance_, &VlcStreamProbe::onEngineLog, log_.get());
  return true;
}

void VlcStreamProbe::onEngineLog(void* data, int level, const vlc_log_t*, const char* format,
                                 va_list arguments) {
  if (level < LIBVLC_WARNING) return;
  auto* log = static_cast<Log*>(data);
  try {
    char text[512];
    va_list copy;
    va_copy(copy, arguments);
    std::vsnprintf(text, sizeof text, format, copy);
    va_end(copy);
    std::lock_guard lock(log->mutex);
    log->lastProblem = text;
  } catch (...) {
  }
}

std::string VlcStreamProbe::takeLastProblem() {
  std::lock_guard lock(log_->mutex);
  std::string problem;
  problem.swap(log_->lastProblem);
  return problem;
}

void VlcStreamProbe::start(const std::string& address, int timeoutMs) {
  ++attempt_;
  retirePlayer();
  running_ = true;
  timeoutMs_ = std::max(1, timeoutMs);
  playlistDepth_ = 0;
  timeout_.start(timeoutMs_);
  if (!ensureEngine()) {
    conclude(ProbeResult::Outcome::NotUnderstood, "the VLC engine did not start");
    return;
  }
  takeLastProblem();
  const vlc::ClassifiedAddress classified = vlc::classifyAddress(address, rtspHandled_);
  libvlc_media_t* media = nullptr;
  using Kind = vlc::ClassifiedAddress::Kind;
  if (classified.kind == Kind::LocalPath) {
    media = libvlc_media_new_path(instance_, classified.address.c_str());
  } else if (classified.kind == Kind::Location) {
    media = libvlc_media_new_location(instance_, classified.address.c_str());
  }
  if (!media) {
    // Never handed to libVLC, which hangs on some addresses it cannot take.
    conclude(ProbeResult::Outcome::NotUnderstood,
             classified.kind == Kind::Unsupported
                 ? "VLC does not open " + classified.scheme + " addresses"
                 : "not an address VLC can open");
    return;
  }
  play(media);
}

void VlcStreamProbe::play(libvlc_media_t* media) {
  if (media_) libvlc_media_release(media_);
  media_ = media;
  player_ = libvlc_media_player_new_from_media(media_);
  if (!player_) {
    conclude(ProbeResult::Outcome::NotUnderstood, "the VLC engine could not make a player");
    return;
  }
  sink_ = new vlc::ProbeSink;
  sink_->probe = this;
  const uint64_t attempt = attempt_;
  sink_->post = [this, attempt](int news, const std::string& detail) {
    QMetaObject::invokeMethod(
        this, [this, news, attempt, detail] { heard(static_cast<News>(news), attempt, detail); },
        Qt::QueuedConnection);
  };
  libvlc_video_set_callbacks(player_, lockPicture, nullptr, displayPicture, sink_);
  libvlc_video_set_format_callbacks(player_, formatPictures, nullptr);
  libvlc_audio_set_callbacks(player_, playSamples, nullptr, nullptr, nullptr, nullptr, sink_);
  libvlc_audio_set_format(player_, "S16N", 44100, 2);
  libvlc_event_manager_t* events = libvlc_media_player_event_manager(player_);
  for (libvlc_event_e type : kPlayerEvents) libvlc_event_attach(events, type, onPlayerEvent, sink_);
  if (libvlc_media_player_play(player_) != 0) {
    conclude(ProbeResult::Outcome::Dead, "the VLC engine could not start playing");
  }
}

void VlcStreamProbe::retirePlayer() {
  if (!player_) return;
  libvlc_event_manager_t* events = libvlc_media_player_event_manager(player_);
  // Detaching waits for a callback in progress, so no event of this player runs afterwards.
  for (libvlc_event_e type : kPlayerEvents) {
    libvlc_event_detach(events, type, onPlayerEvent, sink_);
  }
  sink_->cutOff();
  retirement_->retire(player_, sink_);
  player_ = nullptr;
  sink_ = nullptr;
}

void VlcStreamProbe::cancel() {
  ++attempt_;
  timeout_.stop();
  running_ = false;
  retirePlayer();
}

void VlcStreamProbe::heard(News news, uint64_t attempt, const std::string& detail) {
  if (attempt != attempt_ || !running_) return;
  try {
    switch (news) {
      case News::Decoded: {
        // The picture's own size, not the decoder's padded one the callbacks see.
        unsigned width = 0, height = 0;
        std::string decoded = detail;
        if (detail == "video" && libvlc_video_get_size(player_, 0, &width, &height) == 0 &&
            width > 0 && height > 0) {
          decoded += " " + std::to_string(width) + "x" + std::to_string(height);
        }
        conclude(ProbeResult::Outcome::Decoded, decoded);
        return;
      }
      case News::Ended:
        ended();
        return;
      case News::Error: {
        const std::string problem = takeLastProblem();
        const bool understood =
            std::none_of(std::begin(kNotUnderstood), std::end(kNotUnderstood),
                         [&](const char* text) { return problem.find(text) != std::string::npos; });
        conclude(understood ? ProbeResult::Outcome::Dead : ProbeResult::Outcome::NotUnderstood,
                 "could not be opened" + (problem.empty() ? "" : " (" + problem + ")"));
        return;
      }
    }
  } catch (const std::exception& problem) {
    conclude(ProbeResult::Outcome::Dead, problem.what());
  }
}

void VlcStreamProbe::ended() {
  // A playlist ends as soon as it is read; its first entry is what is to be played.
  libvlc_media_t* entry = nullptr;
  if (libvlc_media_list_t* entries = libvlc_media_subitems(media_)) {
    libvlc_media_list_lock(entries);
    if (libvlc_media_list_count(entries) > 0) entry = libvlc_media_list_item_at_index(entries, 0);
    libvlc_media_list_unlock(entries);
    libvlc_media_list_release(entries);
  }
  if (!entry) {
    const std::string problem = takeLastProblem();
    conclude(ProbeResult::Outcome::Dead,
             "ended before anything was decoded" + (problem.empty() ? "" : " (" + problem + ")"));
    return;
  }
  if (++playlistDepth_ > kPlaylistDepthLimit) {
    libvlc_media_release(entry);
    conclude(ProbeResult::Outcome::Dead, "a playlist that leads to itself");
    return;
  }
  retirePlayer();
  play(entry);
}

void VlcStreamProbe::conclude(ProbeResult::Outcome outcome, const std::string& detail) {
  if (!running_) return;
  running_ = false;
  timeout_.stop();
  retirePlayer();
  const uint64_t attempt = attempt_;
  const ProbeResult result{outcome, detail};
  QMetaObject::invokeMethod(
      this,
      [this, attempt, result] {
        if (attempt != attempt_) return;
        try {
          finished.raise(result);
        } catch (...) {
          // A handler's failure must not reach Qt's event loop.
        }
      },
      Qt::QueuedConnection);
}

}  // namespace zelvo
