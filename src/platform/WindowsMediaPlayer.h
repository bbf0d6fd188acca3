// The primary player's contract: the operations, states and events of the Windows Media
// Player control that the system relies on. Operations that cannot be done throw PlatformFailure.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/Event.h"
#include "platform/Failure.h"
#include "platform/MediaTracks.h"

namespace zelvo {

namespace WmpState {
constexpr int Undefined = 0;
constexpr int Stopped = 1;
constexpr int Paused = 2;
constexpr int Playing = 3;
constexpr int Buffering = 6;
constexpr int Waiting = 7;
constexpr int MediaEnded = 8;
constexpr int Transitioning = 9;
constexpr int Ready = 10;
}  // namespace WmpState

namespace WmpError {
// The address names a protocol this player cannot handle.
constexpr int32_t UnsupportedProtocol = static_cast<int32_t>(0xC00D11BB);
// The server could not be reached or refused the connection.
constexpr int32_t ServerNotFound = static_cast<int32_t>(0xC00D2EE8);
// The server answered, but the address names nothing it serves.
constexpr int32_t FileNotFound = static_cast<int32_t>(0xC00D1197);
// Nothing arrived within the time a stream is given to start.
constexpr int32_t Timeout = static_cast<int32_t>(0xC00D2EE7);
// The address is empty or malformed.
constexpr int32_t InvalidAddress = static_cast<int32_t>(0xC00D1196);
// Anything else the engine reports.
constexpr int32_t Generic = static_cast<int32_t>(0xC00D1199);
}  // namespace WmpError

struct PlayerError {
  int32_t code = 0;
  std::string description;
};

// How events are delivered. Every event (playStateChange, error, positionChange) is queued and
// raised on the UI thread after the call that caused it has returned, in the order things
// happened; none is ever raised from inside a call, so a handler may call into the player again
// without meeting itself. playState() answers at once and may be ahead of the queued changes:
// handlers read it afresh, so every queued state change is delivered.
// Errors belong to the address they happened on: setURL and close empty the error queue, and an
// error event of an earlier address still queued then is dropped.
// A failure raises the error first, then the change to Ready (10). After it the player holds
// nothing: stop() and play() do nothing and raise nothing until the next address.
class WindowsMediaPlayer {
 public:
  virtual ~WindowsMediaPlayer() = default;

  // Starts opening the address; progress and failure arrive as events. Throws when the engine
  // is not running; a bad address is reported as an error event, like any other failure.
  virtual void setURL(const std::string& address) = 0;
  virtual std::string URL() const = 0;
  // Leaves the current stream and its errors; playState reads Ready afterwards.
  virtual void close() = 0;
  virtual void play() = 0;                   // controls.play
  virtual void pause() = 0;                  // controls.pause
  virtual void stop() = 0;                   // controls.stop
  virtual void setPlayCount(int count) = 0;  // settings.playCount
  virtual int playState() const = 0;
  // The version of the contract implemented; fails when the engine did not start.
  virtual std::string versionInfo() const = 0;
  virtual std::string durationString() const = 0;  // currentMedia.durationString
  virtual std::string sourceURL() const = 0;       // currentMedia.sourceURL
  virtual int errorCount() const = 0;
  // Fails when index is outside the error queue.
  virtual PlayerError errorItem(int index) const = 0;
  virtual void clearErrorQueue() = 0;

  // Recording what plays, beside the contract above. startRecording writes the stream as it
  // arrives to path, as MPEG-TS, while it goes on playing; it throws when nothing plays or the
  // engine cannot record. stopRecording ends it; the file is complete once the call returns or
  // soon after, and stays at path. Leaving the stream (a new address, stop, close, a failure)
  // ends a recording too, and so does a file that can no longer be written: then, and only then,
  // recordingStopped is raised (queued) with the path and why writing failed (empty when the
  // player left the stream).
  virtual void startRecording(const std::string& path) {
    (void)path;
    throw PlatformFailure("this player cannot record");
  }
  virtual void stopRecording() {}

  // The audio and subtitle tracks of what plays, beside the contract above: empty while nothing
  // plays or the engine names none. selectTrack switches to the track of kind with that id
  // (kNoTrack with Subtitle turns subtitles off) while the stream plays on: no new opening and
  // no change of state. It throws when there is no such track. tracksChanged is raised (queued)
  // whenever the list or the choice changed, the list emptied by leaving the stream included.
  virtual std::vector<MediaTrack> tracks() const { return {}; }
  virtual void selectTrack(TrackKind kind, int id) {
    (void)kind;
    (void)id;
    throw PlatformFailure("this player has no tracks to choose");
  }

  Event<int> playStateChange;            // NewState
  Event<> error;                         // the error queue holds the failure
  Event<double, double> positionChange;  // oldPosition, newPosition in seconds
  // The recording's path, and why writing failed.
  Event<std::string, std::string> recordingStopped;
  Event<> tracksChanged;
};

}  // namespace zelvo
