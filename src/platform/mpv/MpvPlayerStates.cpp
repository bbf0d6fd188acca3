// How mpv's news moves the player: its events, read on the UI thread after a queued wakeup; the
// end of a clip; the progress watch; failures and the state the caller sees.
#include <mpv/client.h>

#include <algorithm>

#include "platform/BrowserAgent.h"
#include "platform/mpv/MediaAddress.h"
#include "platform/mpv/MpvEngine.h"
#include "platform/mpv/MpvRealPlayer.h"

namespace zelvo {

namespace {

// A clip with a known length that ends further than this before it is cut short, not over.
constexpr double kEarlyEndSlackSeconds = 3.0;
// A stream that played and then brought no new picture for this long has stalled: it fails, so
// that whoever plays it can reopen it.
constexpr int kStallMs = 10000;

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
}  // namespace

void MpvRealPlayer::drainEvents() {
  wakeup_.draining();
  mpv::drainEvents(
      handle_, [this](const mpv_event& event) { handleEvent(event); }, [this] { engineDied(); });
  settlePendingEnd();
}

void MpvRealPlayer::endUnlessRefused(int32_t code, const char* userText, int engineError) {
  pendingEnd_ = PendingEnd{entryId_, code, userText, engineError};
}

void MpvRealPlayer::settlePendingEnd() {
  if (!pendingEnd_) return;
  const PendingEnd end = *pendingEnd_;
  pendingEnd_.reset();
  // A retry as a browser, a new clip or a stop came first.
  if (end.entry != entryId_ || (phase_ != Phase::Opening && phase_ != Phase::Loaded)) return;
  if (retriedAsBrowser()) return;
  std::string detail = openedAddress_;
  if (end.engineError != 0) detail += ": " + std::string(mpv_error_string(end.engineError));
  if (!lastEngineError_.empty()) detail += " (" + lastEngineError_ + ")";
  failPlayback(end.code, end.userText, detail);
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
      mpv_node list;
      if (mpv_get_property(handle_, "track-list", MPV_FORMAT_NODE, &list) >= 0) {
        readTrackList(&list, MPV_FORMAT_NODE);
        mpv_free_node_contents(&list);
      }
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
      endUnlessRefused(MpvRealError::OpenFailed, "The clip could not be opened.", end->error);
      return;
    case MPV_END_FILE_REASON_EOF: {
      if (phase_ != Phase::Loaded || !advanced_) {
        endUnlessRefused(MpvRealError::OpenFailed, "The clip could not be played.", 0);
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
      newGeneration();
      stopWatch();
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
      newGeneration();
      stopWatch();
      resetClip();
      setState(RealState::Stopped);
      return;
  }
}

void MpvRealPlayer::handleProperty(uint64_t id, const void* data, int format) {
  switch (id) {
    case kPause:
      paused_ = flagOf(data, format);
      // A pause owes no progress, and the wait starts anew after it.
      if (phase_ == Phase::Loaded) progressMade();
      break;
    case kPausedForCache:
      pausedForCache_ = flagOf(data, format);
      break;
    case kSeeking:
      seeking_ = flagOf(data, format);
      if (advanced_) progressMade();
      break;
    case kDuration:
      durationSeconds_ = format == MPV_FORMAT_DOUBLE ? *static_cast<const double*>(data) : 0;
      break;
    case kTimePos: {
      if (format != MPV_FORMAT_DOUBLE) break;
      const double position = *static_cast<const double*>(data);
      const bool moved = position != lastPosition_;
      lastPosition_ = position;
      // Only positions after the load belong to this clip; the first one is where it begins.
      if (phase_ != Phase::Loaded) break;
      if (!hasFirstPosition_) {
        hasFirstPosition_ = true;
        firstPosition_ = position;
      } else if (position > firstPosition_ + 0.01) {
        advanced_ = true;
      }
      // Until the clip has advanced, the bound of its start holds from doPlay on.
      if (advanced_ && moved) progressMade();
      break;
    }
    case kTrackList:
      // Only the loaded clip's tracks: a list that comes while it opens is read at the load.
      if (phase_ == Phase::Loaded) readTrackList(data, format);
      return;
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
  setTracks({});
  phase_ = Phase::Idle;
  entryId_ = -1;
  entryStarted_ = false;
  networkSource_ = false;
  pausedForCache_ = false;
  seeking_ = false;
  advanced_ = false;
  seekable_ = true;
  hasFirstPosition_ = false;
  firstPosition_ = 0;
  lastPosition_ = 0;
  bufferPercent_ = -1;
  lastEngineError_.clear();
  openedAddress_.clear();
}

void MpvRealPlayer::loadIntoEngine(const std::string& address) {
  openedAddress_ = address;
  phase_ = Phase::Opening;
  entryStarted_ = false;
  refused_ = false;
  pendingEnd_.reset();
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
  progressMade();
  loadIntoEngine(address);
  return true;
}

void MpvRealPlayer::stopEngine() { mpv::stopPlayback(handle_); }

void MpvRealPlayer::failPlayback(int32_t code, const std::string& userText,
                                 const std::string& detail) {
  newGeneration();
  cancelFetch();
  stopWatch();
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

std::optional<int64_t> MpvRealPlayer::progressBoundMs() const {
  if (phase_ == Phase::Idle || (phase_ == Phase::Loaded && paused_)) return std::nullopt;
  // A stall after playing has a shorter bound than the start.
  return advanced_ ? std::min(options_.watchdogMs, kStallMs) : options_.watchdogMs;
}

void MpvRealPlayer::progressLost(int64_t boundMs) {
  const std::string address = openedAddress_.empty() ? source_ : openedAddress_;
  if (advanced_) {
    failPlayback(MpvRealError::NoProgress, "The stream stopped arriving.",
                 address + ": no new picture within " + std::to_string(boundMs) + " ms");
    return;
  }
  failPlayback(MpvRealError::NoProgress, "The stream did not start.",
               address + ": nothing played within " + std::to_string(boundMs) + " ms");
}

void MpvRealPlayer::updateState() {
  int next = RealState::Playing;
  if (paused_) {
    next = RealState::Paused;
  } else if (pausedForCache_ || seeking_ || !advanced_) {
    next = RealState::Buffering;
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

}  // namespace zelvo
