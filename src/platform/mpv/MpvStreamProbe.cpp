// The probe on libmpv. What mpv reports is read on the UI thread after a queued wakeup; a
// result counts as decoded only once mpv restarted playback with a decoder's output format
// known, which needs a decoded picture or decoded samples, never just a connection.
#include "platform/mpv/MpvStreamProbe.h"

#include <mpv/client.h>

#include <algorithm>
#include <cctype>
#include <cmath>

#include "platform/BrowserAgent.h"
#include "platform/mpv/MpvEngine.h"
#include "platform/qt/EngineEvents.h"

namespace zelvo {

namespace {

int64_t intProperty(mpv_handle* handle, const char* name) {
  int64_t value = 0;
  if (mpv_get_property(handle, name, MPV_FORMAT_INT64, &value) < 0) return 0;
  return value;
}

bool flagProperty(mpv_handle* handle, const char* name) {
  int value = 0;
  if (mpv_get_property(handle, name, MPV_FORMAT_FLAG, &value) < 0) return false;
  return value != 0;
}

constexpr size_t kLogLines = 8;

}  // namespace

MpvStreamProbe::MpvStreamProbe()
    : deadline_(this, [this] {
        if (running_) conclude(ProbeResult::Outcome::Dead, deadline_.missed());
      }) {}

MpvStreamProbe::~MpvStreamProbe() {
  deadline_.stop();
  ++attempt_;
  dropEngine();
}

bool MpvStreamProbe::ensureEngine() {
  if (handle_) return true;
  handle_ = mpv::startEngine(
      {
          {"vo", "null"},
          {"ao", "null"},
          // Only the stream itself counts: no cover art, subtitles or audio files beside it.
          {"audio-display", "no"},
          {"sub-auto", "no"},
          {"audio-file-auto", "no"},
          {"audio-client-name", "zelvo-check"},
      },
      "warn");
  if (!handle_) return false;
  protocols_.clear();
  mpv_node list{};
  if (mpv_get_property(handle_, "protocol-list", MPV_FORMAT_NODE, &list) >= 0) {
    if (list.format == MPV_FORMAT_NODE_ARRAY) {
      for (int i = 0; i < list.u.list->num; ++i) {
        if (list.u.list->values[i].format == MPV_FORMAT_STRING) {
          protocols_.insert(list.u.list->values[i].u.string);
        }
      }
    }
    mpv_free_node_contents(&list);
  }
  wakeup_.attach(handle_);
  return true;
}

bool MpvStreamProbe::unknownProtocol(const std::string& address) const {
  const size_t separator = address.find("://");
  if (protocols_.empty() || separator == std::string::npos || separator == 0) return false;
  std::string scheme = address.substr(0, separator);
  for (char& ch : scheme) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
  return protocols_.count(scheme) == 0;
}

void MpvStreamProbe::dropEngine() {
  if (!handle_) return;
  mpv_handle* handle = handle_;
  handle_ = nullptr;
  mpv::destroyEngine(handle);
}

void MpvStreamProbe::start(const std::string& address, int timeoutMs) {
  ++attempt_;
  running_ = true;
  address_ = address;
  entryId_ = -1;
  entryStarted_ = false;
  ended_.reset();
  log_.clear();
  deadline_.start(timeoutMs);
  if (!ensureEngine()) {
    conclude(ProbeResult::Outcome::NotUnderstood, "the mpv engine did not start");
    return;
  }
  // mpv opens the bare URL; the headers of its "|" suffix go with every request instead.
  station_ = splitStationAddress(address);
  browserAgent_ = false;
  if (unknownProtocol(station_.url)) {
    conclude(ProbeResult::Outcome::NotUnderstood, "mpv has no handler for this protocol");
    return;
  }
  // A connection that hangs is given up by mpv itself no later than the probe.
  const std::string networkTimeout =
      std::to_string(std::max(1, (deadline_.milliseconds() + 999) / 1000));
  mpv_set_property_string(handle_, "network-timeout", networkTimeout.c_str());
  load();
}

void MpvStreamProbe::load() {
  RequestHeaders headers = station_.headers;
  if (browserAgent_) headers.userAgent = kDesktopBrowserAgent;
  entryStarted_ = false;
  ended_.reset();
  const int rc = mpv::loadFile(handle_, station_.url, headers, entryId_);
  if (rc < 0) {
    conclude(ProbeResult::Outcome::Dead,
             std::string("mpv refused the address: ") + mpv_error_string(rc));
  }
}

void MpvStreamProbe::cancel() {
  ++attempt_;
  deadline_.stop();
  if (!running_) return;
  running_ = false;
  stopEngine();
}

void MpvStreamProbe::stopEngine() {
  // It only asks mpv's core to let go; a connection stuck in opening does not hold it up.
  if (handle_) mpv::stopPlayback(handle_);
}

void MpvStreamProbe::conclude(ProbeResult::Outcome outcome, const std::string& detail) {
  if (!running_) return;
  running_ = false;
  deadline_.stop();
  // Nothing more is needed from this address: the engine lets it go at once.
  stopEngine();
  postWhileCurrent(this, attempt_,
                   [this, result = ProbeResult{outcome, detail}] { finished.raise(result); });
}

void MpvStreamProbe::drainEvents() {
  wakeup_.draining();
  mpv::drainEvents(
      handle_, [this](const mpv_event& event) { handleEvent(event); },
      [this] {
        dropEngine();
        conclude(ProbeResult::Outcome::NotUnderstood, "the mpv engine shut down");
      });
  if (ended_ && running_) concludeEnded();
}

void MpvStreamProbe::handleEvent(const mpv_event& event) {
  switch (event.event_id) {
    case MPV_EVENT_START_FILE: {
      const auto* start = static_cast<const mpv_event_start_file*>(event.data);
      if (!running_ || entryStarted_) return;
      if (entryId_ == 0) entryId_ = start->playlist_entry_id;
      entryStarted_ = start->playlist_entry_id == entryId_;
      return;
    }
    case MPV_EVENT_END_FILE:
      handleEndFile(event);
      return;
    case MPV_EVENT_PLAYBACK_RESTART:
      if (running_ && entryStarted_) playbackRestarted();
      return;
    case MPV_EVENT_LOG_MESSAGE: {
      if (!running_) return;
      const auto& message = *static_cast<const mpv_event_log_message*>(event.data);
      // Refused with the engine's own agent: once more as the player would, within the same
      // time, since FFmpeg's HLS and DASH readers go on past refused segments.
      if (entryStarted_ && !browserAgent_ && station_.headers.userAgent.empty() &&
          mpv::saysRefused(message.text)) {
        browserAgent_ = true;
        log_.clear();
        load();
        return;
      }
      if (log_.size() == kLogLines) log_.erase(log_.begin());
      log_.push_back(mpv::logLine(message));
      return;
    }
    default:
      return;
  }
}

void MpvStreamProbe::handleEndFile(const mpv_event& event) {
  const auto* end = static_cast<const mpv_event_end_file*>(event.data);
  if (!running_ || !entryStarted_ || end->playlist_entry_id != entryId_) return;
  if (end->reason == MPV_END_FILE_REASON_REDIRECT && end->playlist_insert_id > 0) {
    // A playlist mpv reads (M3U, PLS): its first entry takes the address's place.
    entryId_ = end->playlist_insert_id;
    entryStarted_ = false;
    return;
  }
  ended_ = EndedEntry{end->reason, end->error};
}

void MpvStreamProbe::concludeEnded() {
  const EndedEntry end = *ended_;
  ended_.reset();
  std::string detail;
  ProbeResult::Outcome outcome = ProbeResult::Outcome::Dead;
  switch (end.reason) {
    case MPV_END_FILE_REASON_ERROR:
      detail = mpv_error_string(end.error);
      if (end.error == MPV_ERROR_UNKNOWN_FORMAT ||
          std::any_of(log_.begin(), log_.end(), [](const std::string& line) {
            return line.find("No protocol handler found") != std::string::npos;
          })) {
        outcome = ProbeResult::Outcome::NotUnderstood;
      }
      break;
    case MPV_END_FILE_REASON_EOF:
      detail = "ended before anything was decoded";
      break;
    case MPV_END_FILE_REASON_REDIRECT:
      detail = "a playlist with nothing to play";
      break;
    default:
      detail = "stopped before anything was decoded";
      break;
  }
  if (!log_.empty()) detail += " (" + log_.back() + ")";
  conclude(outcome, detail);
}

void MpvStreamProbe::playbackRestarted() {
  // Each output format is known only once its decoder has produced something.
  const int64_t width = intProperty(handle_, "video-params/w");
  const int64_t height = intProperty(handle_, "video-params/h");
  const int64_t sampleRate = intProperty(handle_, "audio-params/samplerate");
  const bool stillPicture = flagProperty(handle_, "current-tracks/video/image");
  std::string decoded;
  if (width > 0 && !stillPicture) {
    decoded = "video " + std::to_string(width) + "x" + std::to_string(height);
  }
  if (sampleRate > 0) {
    decoded += (decoded.empty() ? "audio " : ", audio ") + std::to_string(sampleRate) + " Hz";
  }
  if (decoded.empty()) {
    conclude(ProbeResult::Outcome::Dead,
             stillPicture ? "a still picture, not a stream" : "nothing decoded");
    return;
  }
  conclude(ProbeResult::Outcome::Decoded, decoded);
}

}  // namespace zelvo
