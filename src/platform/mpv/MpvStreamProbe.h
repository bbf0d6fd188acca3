// A headless probe on libmpv: plays an address with null video and audio outputs until mpv has
// decoded pictures or sound, and reports on the UI thread, as the window's players do.
#pragma once

#include <QObject>
#include <atomic>
#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "formats/StationAddress.h"
#include "platform/StreamProbe.h"
#include "platform/mpv/MpvWakeup.h"
#include "platform/qt/ProbeDeadline.h"

struct mpv_handle;
struct mpv_event;

namespace zelvo {

// One engine per probe, started on the first start() and kept for the next addresses. An
// engine that shuts down is replaced at the next start(). mpv reads no ASX playlists.
class MpvStreamProbe : public QObject, public StreamProbe {
  Q_OBJECT

 public:
  MpvStreamProbe();
  ~MpvStreamProbe() override;
  MpvStreamProbe(const MpvStreamProbe&) = delete;
  MpvStreamProbe& operator=(const MpvStreamProbe&) = delete;

  void start(const std::string& address, int timeoutMs) override;
  void cancel() override;

 private:
  bool ensureEngine();
  void dropEngine();
  void drainEvents();
  void handleEvent(const mpv_event& event);
  void handleEndFile(const mpv_event& event);
  // Ends the probe with the entry's end once every event and log line mpv has queued is read.
  void concludeEnded();
  void playbackRestarted();
  // Ends the probe in progress with the result, delivered once the running call has returned.
  void conclude(ProbeResult::Outcome outcome, const std::string& detail);
  void stopEngine();
  // Opens the station's URL with its headers, or the browser's agent once its own was refused.
  void load();
  // Whether the address names a protocol this mpv build has no handler for.
  bool unknownProtocol(const std::string& address) const;

  mpv_handle* handle_ = nullptr;
  MpvWakeup wakeup_{this, [this] { drainEvents(); }};
  ProbeDeadline deadline_;
  // Moves on with every start and cancel; a result on its way is delivered only if it still
  // belongs to the current attempt.
  uint64_t attempt_ = 0;
  bool running_ = false;
  std::string address_;
  StationAddress station_;     // the bare URL mpv opens, and the headers it sends
  bool browserAgent_ = false;  // the current attempt now asks as a desktop browser
  // The entry's end, held until the drain is over: mpv may hand out the log line that tells
  // why (a refusal that the browser's agent may pass) after the end itself.
  struct EndedEntry {
    int reason;
    int error;
  };
  std::optional<EndedEntry> ended_;
  // mpv's playlist entry of the address: -1 none, 0 adopts the next one that starts.
  int64_t entryId_ = -1;
  bool entryStarted_ = false;
  std::set<std::string> protocols_;
  // What mpv logged about the current attempt, the latest last.
  std::vector<std::string> log_;
};

}  // namespace zelvo
