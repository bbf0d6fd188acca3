// The fallback player's contract: the members of the RealPlayer control that the system uses,
// each named by its role, with the control's dispatch id beside it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/Event.h"
#include "platform/Failure.h"
#include "platform/MediaTracks.h"

namespace zelvo {

namespace RealState {
constexpr int Stopped = 0;
constexpr int Contacting = 1;
constexpr int Buffering = 2;
constexpr int Playing = 3;
constexpr int Paused = 4;
}  // namespace RealState

// The status text while the player contacts a server.
inline constexpr const char* kRealStatusContacting = "communicating";

// How events are delivered. Every event (stateChange, errorMessage, bufferingProgress,
// presentationEvent) is queued and raised on the UI thread after the call that caused it has
// returned, in the order things happened; none is ever raised from inside a call, so a handler
// may call into the player again without meeting itself. playState() and lastStatus() answer
// at once, so they may be ahead of the events still queued.
//
// Each event belongs to the clip that was current when it happened, and the arguments of
// stateChange(old, new) decide what the caller does next. So an event is dropped, not delivered:
//   - when by the time it would be delivered doPlay has started another clip (resuming a paused
//     clip starts none);
//   - after clearQueuedClips, which lets go of the current clip: its undelivered events are
//     dropped, and nothing at all is raised (the stop that usually follows included) until the
//     next doPlay.
// A failure raises errorMessage and then stateChange(old, Stopped), even when nothing had started,
// so a caller always hears the end; both belong to the failed clip and are dropped together.
class RealPlayer {
 public:
  virtual ~RealPlayer() = default;

  virtual void setSource(const std::string& address) = 0;  // 102 (write)
  virtual std::string source() const = 0;                  // 102 (read)
  virtual void doPlay() = 0;                               // 257
  virtual void doPause() = 0;                              // 258
  virtual void doStop() = 0;                               // 202
  // Lets go of the current clip before the other player takes over: see the delivery rules.
  virtual void clearQueuedClips() = 0;  // 206
  // Starts playing as soon as a source is set and played.
  virtual void setAutoStart(bool on) = 0;  // 273
  // Start-up settings, applied in the order listed.
  virtual void setWantErrors(bool on) = 0;            // 326
  virtual void setCacheSeconds(int32_t seconds) = 0;  // 271
  virtual void setMaintainAspect(bool on) = 0;        // 231
  virtual void setVideoEnabled(bool on) = 0;          // 307
  virtual void setAudioEnabled(bool on) = 0;          // 275
  virtual void setWantStatusEvents(bool on) = 0;      // 221
  // The version of the contract implemented; fails when the engine did not start.
  virtual std::string versionInfo() const = 0;  // 329
  virtual int playState() const = 0;            // 260
  virtual int32_t lengthMs() const = 0;         // 261
  virtual std::string lastStatus() const = 0;   // 331
  // Shows the clip's picture on top inside the player's area once the clip has opened; never
  // opens a window of its own.
  virtual void showImageWindow() = 0;  // 293

  // Recording what plays, beside the members above; as the primary player records (see
  // WindowsMediaPlayer.h). recordingStopped is never dropped with the clip's other events.
  virtual void startRecording(const std::string& path) {
    (void)path;
    throw PlatformFailure("this player cannot record");
  }
  virtual void stopRecording() {}

  // The audio and subtitle tracks of what plays, as the primary player offers them (see
  // WindowsMediaPlayer.h). tracksChanged, like recordingStopped, is never dropped with the
  // clip's other events.
  virtual std::vector<MediaTrack> tracks() const { return {}; }
  virtual void selectTrack(TrackKind kind, int id) {
    (void)kind;
    (void)id;
    throw PlatformFailure("this player has no tracks to choose");
  }

  Event<int, int> stateChange;  // 1042: oldState, newState
  // 1014: severity, rmaCode, userCode, userString, moreInfoURL, errorString
  Event<int32_t, int32_t, int32_t, std::string, std::string, std::string> errorMessage;
  Event<int32_t, int32_t> bufferingProgress;               // 1005: flags, percent
  Event<int32_t, int32_t, std::string> presentationEvent;  // 1031: kind, value, text
  // The recording's path, and why writing failed.
  Event<std::string, std::string> recordingStopped;
  Event<> tracksChanged;
};

}  // namespace zelvo
