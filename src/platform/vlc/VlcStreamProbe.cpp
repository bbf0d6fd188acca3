// The probe on libVLC. The engine's threads only post news to the UI thread, through a sink
// that the probe can cut off; every decision is taken on the UI thread, stamped with the
// attempt it belongs to.
#include "platform/vlc/VlcStreamProbe.h"

#include <vlc/vlc.h>

#include <QTimer>
#include <algorithm>
#include <atomic>
#include <mutex>
#include <vector>

#include "platform/qt/EngineEvents.h"
#include "platform/vlc/VlcAddress.h"
#include "platform/vlc/VlcEngine.h"
#include "platform/vlc/VlcPlayerReaper.h"

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

bool isProblem(int level, const std::string&) { return level >= LIBVLC_WARNING; }

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

VlcStreamProbe::VlcStreamProbe()
    : reaper_(std::make_unique<vlc::VlcPlayerReaper>()),
      log_(std::make_unique<vlc::EngineLog>(1, &isProblem)),
      deadline_(this, [this] {
        if (!running_) return;
        // A picture came while its size was still being asked for.
        if (sizeAsked_ > 0)
          conclude(ProbeResult::Outcome::Decoded, "video");
        else
          conclude(ProbeResult::Outcome::Dead, deadline_.missed());
      }) {}

VlcStreamProbe::~VlcStreamProbe() {
  deadline_.stop();
  ++attempt_;
  retirePlayer();
  reaper_.reset();
  if (media_) libvlc_media_release(media_);
  vlc::releaseEngine(instance_);
}

bool VlcStreamProbe::ensureEngine() {
  if (engineTried_) return instance_ != nullptr;
  engineTried_ = true;
  const vlc::Engine engine =
      vlc::startEngine({"--no-sub-autodetect-file", "--network-caching=300"});
  instance_ = engine.instance;
  rtspHandled_ = engine.rtspHandled;
  if (!instance_) return false;
  log_->attach(instance_);
  return true;
}

std::string VlcStreamProbe::takeLastProblem() {
  std::vector<std::string> problems = log_->take();
  return problems.empty() ? std::string() : std::move(problems.back());
}

void VlcStreamProbe::start(const std::string& address, int timeoutMs) {
  ++attempt_;
  retirePlayer();
  running_ = true;
  playlistDepth_ = 0;
  sizeAsked_ = 0;
  deadline_.start(timeoutMs);
  if (!ensureEngine()) {
    conclude(ProbeResult::Outcome::NotUnderstood, "the VLC engine did not start");
    return;
  }
  takeLastProblem();
  StationAddress station = splitStationAddress(address);
  headers_ = std::move(station.headers);
  const vlc::ClassifiedAddress classified = vlc::classifyAddress(station.url, rtspHandled_);
  libvlc_media_t* media = vlc::newMedia(instance_, classified);
  if (!media) {
    conclude(ProbeResult::Outcome::NotUnderstood,
             classified.kind == vlc::ClassifiedAddress::Kind::Unsupported
                 ? "VLC does not open " + classified.scheme + " addresses"
                 : "not an address VLC can open");
    return;
  }
  play(media);
}

void VlcStreamProbe::play(libvlc_media_t* media) {
  if (media_) libvlc_media_release(media_);
  media_ = media;
  vlc::addRequestHeaders(media_, headers_);
  player_ = libvlc_media_player_new_from_media(media_);
  if (!player_) {
    conclude(ProbeResult::Outcome::NotUnderstood, "the VLC engine could not make a player");
    return;
  }
  sink_ = new vlc::ProbeSink;
  sink_->probe = this;
  const uint64_t attempt = attempt_;
  sink_->post = [this, attempt](int news, const std::string& detail) {
    postGuarded(this,
                [this, news, attempt, detail] { heard(static_cast<News>(news), attempt, detail); });
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
  reaper_->retire(player_, [sink = sink_] { delete sink; });
  player_ = nullptr;
  sink_ = nullptr;
}

void VlcStreamProbe::cancel() {
  ++attempt_;
  deadline_.stop();
  running_ = false;
  retirePlayer();
}

void VlcStreamProbe::heard(News news, uint64_t attempt, const std::string& detail) {
  if (attempt != attempt_ || !running_) return;
  try {
    switch (news) {
      case News::Decoded: {
        std::string decoded = detail;
        if (detail == "video") {
          const std::string size = pictureSize();
          // The first picture may come before the player or the media know its size; a
          // moment later they do. The deadline still bounds the wait.
          if (size.empty() && sizeAsked_++ < kSizeRetries) {
            QTimer::singleShot(kSizeRetryMs, this,
                               [this, attempt, detail] { heard(News::Decoded, attempt, detail); });
            return;
          }
          decoded += size;
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

std::string VlcStreamProbe::pictureSize() const {
  // The picture's own size, not the decoder's padded one the callbacks see. The first picture
  // can be shown before the player has registered its video output, so the media's track list
  // answers when the player cannot yet.
  unsigned width = 0, height = 0;
  if (libvlc_video_get_size(player_, 0, &width, &height) != 0 || width == 0 || height == 0) {
    libvlc_media_t* playing = libvlc_media_player_get_media(player_);
    libvlc_media_track_t** tracks = nullptr;
    const unsigned count = playing ? libvlc_media_tracks_get(playing, &tracks) : 0;
    for (unsigned i = 0; i < count && width == 0; ++i) {
      if (tracks[i]->i_type == libvlc_track_video && tracks[i]->video) {
        width = tracks[i]->video->i_width;
        height = tracks[i]->video->i_height;
      }
    }
    if (tracks) libvlc_media_tracks_release(tracks, count);
    if (playing) libvlc_media_release(playing);
  }
  if (width == 0 || height == 0) return {};
  return " " + std::to_string(width) + "x" + std::to_string(height);
}

void VlcStreamProbe::ended() {
  // A playlist ends as soon as it is read; its first entry is what is to be played.
  libvlc_media_t* entry = vlc::firstEntry(media_);
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
  deadline_.stop();
  retirePlayer();
  postWhileCurrent(this, attempt_,
                   [this, result = ProbeResult{outcome, detail}] { finished.raise(result); });
}

}  // namespace zelvo
