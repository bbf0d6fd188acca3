// The fallback player on libmpv: the RealPlayer contract with its own video area, its events
// raised on the UI thread, and a progress watch for servers that never deliver. Its jobs have a
// file each: the contract (MpvRealPlayer.cpp), the states (MpvPlayerStates), recording
// (MpvPlayerRecording), the tracks (MpvPlayerTracks) and the ASX playlist (MpvAsxFetch).
#pragma once

#include <QByteArray>
#include <QPointer>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "formats/StationAddress.h"
#include "platform/RealPlayer.h"
#include "platform/mpv/MpvWakeup.h"
#include "platform/qt/EngineBase.h"

struct mpv_handle;
struct mpv_event;
class QNetworkAccessManager;
class QWidget;

namespace zelvo {

class BoundedDownload;
struct DownloadEnd;

struct MpvPlayerOptions {
  // How long a clip may take from doPlay (or from a stall) until it plays again.
  int watchdogMs = 15000;
  // Engine options set before start-up, after the player's own (tests pass vo=null, ao=null).
  std::vector<std::pair<std::string, std::string>> extraOptions;
};

// The rmaCode of each failure raised through errorMessage. The userString is a short text for
// people, the errorString says what went wrong and with which address.
namespace MpvRealError {
constexpr int32_t BadAddress = static_cast<int32_t>(0x80040010u);      // empty or malformed
constexpr int32_t OpenFailed = static_cast<int32_t>(0x80040011u);      // refused, 404, bad data
constexpr int32_t EndedEarly = static_cast<int32_t>(0x80040012u);      // a live stream stopped
constexpr int32_t NoProgress = static_cast<int32_t>(0x80040013u);      // the watchdog ran out
constexpr int32_t PlaylistFailed = static_cast<int32_t>(0x80040014u);  // ASX unreadable or empty
constexpr int32_t EngineStopped = static_cast<int32_t>(0x80040015u);   // the engine shut down
}  // namespace MpvRealError

// Severity of every failure above: an error that ended the clip.
inline constexpr int32_t kMpvRealSeverity = 1;

// The kind of presentationEvent raised once a clip is open; value is its length in ms (0 when
// live), text the address mpv opened.
inline constexpr int32_t kMpvClipOpened = 1;

// source() stays what setSource() was given; for an ASX playlist mpv is handed its first entry.
// Errors are always raised as events (the player never shows dialogs of its own), and auto-start
// is recorded only: doPlay always starts the clip. Events are delivered as RealPlayer.h says.
// An engine that shuts down ends the clip in progress with EngineStopped; the next call that
// needs the engine starts a fresh one, and throws PlatformFailure only if that cannot start.
class MpvRealPlayer : public EngineBase, public RealPlayer {
  Q_OBJECT

 public:
  using Options = MpvPlayerOptions;

  explicit MpvRealPlayer(Options options = {}, QWidget* parent = nullptr);
  ~MpvRealPlayer() override;
  MpvRealPlayer(const MpvRealPlayer&) = delete;
  MpvRealPlayer& operator=(const MpvRealPlayer&) = delete;

  // The black video area mpv draws into.
  QWidget* widget() const;

  void setSource(const std::string& address) override;  // 102 (write)
  std::string source() const override;                  // 102 (read)
  void doPlay() override;                               // 257
  void doPause() override;                              // 258
  void doStop() override;                               // 202
  void clearQueuedClips() override;                     // 206
  void setAutoStart(bool on) override;                  // 273
  void setWantErrors(bool on) override;                 // 326
  void setCacheSeconds(int32_t seconds) override;       // 271
  void setMaintainAspect(bool on) override;             // 231
  void setVideoEnabled(bool on) override;               // 307
  void setAudioEnabled(bool on) override;               // 275
  void setWantStatusEvents(bool on) override;           // 221
  std::string versionInfo() const override;             // 329
  int playState() const override;                       // 260
  int32_t lengthMs() const override;                    // 261
  std::string lastStatus() const override;              // 331
  void showImageWindow() override;                      // 293
  // mpv's stream-record: what arrives is written to the file while the clip plays on.
  void startRecording(const std::string& path) override;
  void stopRecording() override;
  // mpv's track-list; a switch sets aid or sid, and the clip plays on.
  std::vector<MediaTrack> tracks() const override;
  void selectTrack(TrackKind kind, int id) override;

 private:
  enum class Phase {
    Idle,      // no clip
    Fetching,  // the ASX playlist is on its way
    Opening,   // mpv was handed the clip and has not loaded it yet
    Loaded,    // mpv has loaded the clip; its states are the clip's
  };
  // The properties observed, by the number mpv reports them with.
  enum ObservedProperty : uint64_t {
    kPause = 1,
    kPausedForCache,
    kSeeking,
    kTimePos,
    kDuration,
    kBufferingState,
    kTrackList,
  };

  void ensureEngine();
  void drainEvents();
  void handleEvent(const mpv_event& event);
  void handleEndFile(const mpv_event& event);
  // The end of a clip that a refusal may yet explain: mpv hands out its log messages only after
  // the events at hand, so a 403 logged before the end arrives after it. The end is settled
  // once the events at hand are drained.
  void endUnlessRefused(int32_t code, const char* userText, int engineError);
  void settlePendingEnd();
  void handleProperty(uint64_t id, const void* data, int format);

  void resetClip();
  void readTrackList(const void* data, int format);
  // Keeps the list and announces it when it differs from the one before.
  void setTracks(std::vector<MediaTrack> tracks);
  // mpv stops writing and the name it wrote through goes.
  void releaseRecorder() override;
  void announceRecordingEnd(const std::string& path, const std::string& problem) override;
  // The codec of the clip's track of this kind ("video", "audio"); empty when it has none.
  std::string trackCodec(const char* kind) const;
  void readLocalPlaylist(const std::string& path);
  void fetchPlaylist(const std::string& address);
  void playlistArrived(const std::string& address, const DownloadEnd& end);
  void loadIntoEngine(const std::string& address);
  // A clip that has not started, refused with a 403 to the engine's own agent, opens once more
  // as a desktop browser would ask; true when that retry has begun.
  bool retriedAsBrowser();
  void stopEngine();
  void cancelFetch();

  void failPlayback(int32_t code, const std::string& userText, const std::string& detail);
  void engineDied();
  // Queues an event of the current clip for delivery once the running call has returned.
  void post(std::function<void()> raiseEvent);
  // Until the clip has advanced, the start's bound; after, a shorter one for a stall: the
  // position standing still while not paused, paused for the cache, or seeking.
  std::optional<int64_t> progressBoundMs() const override;
  void progressLost(int64_t boundMs) override;
  void updateState();
  void setState(int state, bool announceEvenIfSame = false);
  void setEngineProperty(const char* name, const std::string& value);
  // A setting of the caller's, made again on any engine started later.
  void keepSetting(const char* name, const std::string& value);
  bool engineReady() const {
    const_cast<MpvRealPlayer*>(this)->ensureEngine();
    return handle_ != nullptr;
  }
  void requireEngine() const;

  Options options_;
  bool engineTried_ = false;
  mpv_handle* handle_ = nullptr;
  QPointer<QWidget> videoArea_;
  QNetworkAccessManager* network_ = nullptr;
  std::unique_ptr<BoundedDownload> fetch_;  // of the ASX playlist
  QByteArray playlistBody_;
  MpvWakeup wakeup_{this, [this] { drainEvents(); }};

  std::string source_;
  std::string clipSource_;     // the source the current clip was started from
  std::string openedAddress_;  // what mpv was handed, an ASX entry rather than the playlist
  RequestHeaders headers_;     // the source's own, sent with every request of its stream
  bool browserAgent_ = false;  // the current source now asks as a desktop browser
  struct PendingEnd {
    int64_t entry;
    int32_t code;
    const char* userText;
    int engineError;  // mpv's error code, 0 for an end without one
  };
  std::optional<PendingEnd> pendingEnd_;
  bool refused_ = false;  // a server answered 403 since the engine was last handed a file
  // The stream's generation moves on with every start, stop, end and failure.
  // Queued events carry clipNumber_; it moves on when doPlay starts a clip and when the caller
  // lets go of one. While lettingGo_, nothing is raised at all.
  uint64_t clipNumber_ = 0;
  bool lettingGo_ = false;
  Phase phase_ = Phase::Idle;
  // mpv's playlist entry of the current clip: -1 none, 0 adopts the next one that starts.
  int64_t entryId_ = -1;
  bool entryStarted_ = false;
  bool networkSource_ = false;

  // Engine state as last reported; meaningful for the current clip once it is loaded.
  bool paused_ = false;
  bool pausedForCache_ = false;
  bool seeking_ = false;
  bool advanced_ = false;
  bool seekable_ = true;  // as mpv said when the clip was loaded
  bool hasFirstPosition_ = false;
  double firstPosition_ = 0;
  double lastPosition_ = 0;
  double durationSeconds_ = 0;
  int bufferPercent_ = -1;
  std::string lastEngineError_;

  std::vector<MediaTrack> tracks_;  // of the loaded clip; empty otherwise
  std::string recordLink_;  // the name mpv writes through, when it is not recordPath_ itself

  std::map<std::string, std::string> settings_;
  bool wantStatusEvents_ = true;
  bool autoStart_ = true;
  bool wantErrors_ = true;
  int state_ = RealState::Stopped;
  std::string status_ = "Ready";
};

}  // namespace zelvo
