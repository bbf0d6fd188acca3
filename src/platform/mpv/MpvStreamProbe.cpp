// The probe on libmpv. What mpv reports is read on the UI thread after a queued wakeup; a
// result counts as decoded only once mpv restarted playback with a decoder's output format
// known, which needs a decoded picture or decoded samples, never just a connection.
#include "platform/mpv/MpvStreamProbe.h"

#include <mpv/client.h>

#include <algorithm>
#include <cctype>
#include <clocale>
#include <cmath>
#include <exception>

namespace zelvo {

namespace {

std::string seconds(int milliseconds) {
  const int tenths = (milliseconds + 50) / 100;
  std::string text = std::to_string(tenths / 10);
  if (tenths % 10 != 0) text += "." + std::to_string(tenths % 10);
  return text + " s";
}

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

MpvStreamProbe::MpvStreamProbe() {
  timeout_.setSingleShot(true);
  // A coarse timer may fire up to 5% early: an address gets all of its time.
  timeout_.setTimerType(Qt::PreciseTimer);
  connect(&timeout_, &QTimer::timeout, this, [this] {
    if (running_)
      conclude(ProbeResult::Outcome::Dead, "nothing decoded within " + seconds(timeoutMs_));
  });
}

MpvStreamProbe::~MpvStreamProbe() {
  timeout_.stop();
  ++attempt_;
  dropEngine();
}

bool MpvStreamProbe::ensureEngine() {
  if (handle_) return true;
  // libmpv refuses to start unless numbers are parsed the C way.
  std::setlocale(LC_NUMERIC, "C");
  handle_ = mpv_create();
  if (!handle_) return false;
  const std::pair<const char*, const char*> options[] = {
      {"vo", "null"},
      {"ao", "null"},
      {"idle", "yes"},
      {"keep-open", "no"},
      {"config", "no"},
      {"terminal", "no"},
      {"input-default-bindings", "no"},
      {"osc", "no"},
      {"ytdl", "no"},
      {"load-scripts", "no"},
      // Only the stream itself counts: no cover art, subtitles or audio files found beside it.
      {"audio-display", "no"},
      {"sub-auto", "no"},
      {"audio-file-auto", "no"},
      {"audio-client-name", "zelvo-check"},
  };
  for (const auto& [name, value] : options) mpv_set_option_string(handle_, name, value);
  if (mpv_initialize(handle_) < 0) {
    mpv_terminate_destroy(handle_);
    handle_ = nullptr;
    return false;
  }
  mpv_request_log_messages(handle_, "warn");
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
  MpvWakeup::detach(handle);
  mpv_terminate_destroy(handle);
}

void MpvStreamProbe::start(const std::string& address, int timeoutMs) {
  ++attempt_;
  running_ = true;
  address_ = address;
  timeoutMs_ = std::max(1, timeoutMs);
  entryId_ = -1;
  entryStarted_ = false;
  log_.clear();
  timeout_.start(timeoutMs_);
  if (!ensureEngine()) {
    conclude(ProbeResult::Outcome::NotUnderstood, "the mpv engine did not start");
    return;
  }
  if (unknownProtocol(address)) {
    conclude(ProbeResult::Outcome::NotUnderstood, "mpv has no handler for this protocol");
    return;
  }
  // A connection that hangs is given up by mpv itself no later than the probe.
  const std::string networkTimeout = std::to_string(std::max(1, (timeoutMs_ + 999) / 1000));
  mpv_set_property_string(handle_, "network-timeout", networkTimeout.c_str());
  mpv_set_property_string(handle_, "pause", "no");
  const char* command[] = {"loadfile", address.c_str(), "replace", nullptr};
  mpv_node result{};
  const int rc = mpv_command_ret(handle_, command, &result);
  if (rc < 0) {
    conclude(ProbeResult::Outcome::Dead,
             std::string("mpv refused the address: ") + mpv_error_string(rc));
    return;
  }
  entryId_ = 0;
  if (result.format == MPV_FORMAT_NODE_MAP) {
    for (int i = 0; i < result.u.list->num; ++i) {
      const mpv_node& value = result.u.list->values[i];
      if (std::string(result.u.list->keys[i]) == "playlist_entry_id" &&
          value.format == MPV_FORMAT_INT64) {
        entryId_ = value.u.int64;
      }
    }
  }
  mpv_free_node_contents(&result);
}

void MpvStreamProbe::cancel() {
  ++attempt_;
  timeout_.stop();
  if (!running_) return;
  running_ = false;
  stopEngine();
}

void MpvStreamProbe::stopEngine() {
  if (!handle_) return;
  // Synchronous, so that it can never land after the next address's loadfile and stop that.
  // It only asks mpv's core to let go; a connection stuck in opening does not hold it up.
  const char* command[] = {"stop", nullptr};
  mpv_command(handle_, command);
}

void MpvStreamProbe::conclude(ProbeResult::Outcome outcome, const std::string& detail) {
  if (!running_) return;
  running_ = false;
  timeout_.stop();
  // Nothing more is needed from this address: the engine lets it go at once.
  stopEngine();
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

void MpvStreamProbe::drainEvents() {
  wakeup_.draining();
  while (handle_) {
    const mpv_event* event = mpv_wait_event(handle_, 0);
    if (event->event_id == MPV_EVENT_NONE) return;
    if (event->event_id == MPV_EVENT_SHUTDOWN) {
      dropEngine();
      conclude(ProbeResult::Outcome::NotUnderstood, "the mpv engine shut down");
      return;
    }
    try {
      handleEvent(*event);
    } catch (const std::exception&) {
      // One event's failure must not stop the events that follow.
    }
  }
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
      const auto* message = static_cast<const mpv_event_log_message*>(event.data);
      std::string text = std::string(message->prefix) + ": " + message->text;
      while (!text.empty() && (text.back() == '\n' || text.back() == ' ')) text.pop_back();
      if (!running_) return;
      if (log_.size() == kLogLines) log_.erase(log_.begin());
      log_.push_back(text);
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
  std::string detail;
  ProbeResult::Outcome outcome = ProbeResult::Outcome::Dead;
  switch (end->reason) {
    case MPV_END_FILE_REASON_ERROR:
      detail = mpv_error_string(end->error);
      if (end->error == MPV_ERROR_UNKNOWN_FORMAT ||
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
