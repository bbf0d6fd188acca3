// In-memory players, browser, message boxes and process for behaviour tests. Every call is
// recorded in a shared CallLog; a call can be made to fail. The players deliver their events
// through the event loop, as the real ones do, and the test decides what the engine reports.
#pragma once

#include <functional>
#include <set>
#include <string>
#include <vector>

#include "fakes/CallLog.h"
#include "fakes/FakeEventLoop.h"
#include "fakes/FakeFileSystem.h"
#include "platform/MessageBoxes.h"
#include "platform/Process.h"
#include "platform/RealPlayer.h"
#include "platform/WindowFunctions.h"
#include "platform/WindowsMediaPlayer.h"

namespace zelvo::test {

// Names the calls ("wmp.close", "real.doStop", ...) that fail with PlatformFailure.
class FailureSwitch {
 public:
  void failOn(const std::string& call) { failing_.insert(call); }
  void heal() { failing_.clear(); }
  void check(const std::string& call) const;

 private:
  std::set<std::string> failing_;
};

// A player's recording: start writes a little to the file at once, as the first packets
// would; leaving the stream or a failure ends it with the player's queued news.
class FakeRecorder {
 public:
  FakeRecorder(FakeEventLoop& loop, Event<std::string, std::string>& stopped)
      : loop_(loop), stopped_(stopped) {}
  void start(const std::string& path);
  void stop() { path_.clear(); }
  void end(const std::string& problem = "");
  bool running() const { return !path_.empty(); }
  // Where the player writes: this file system, or the real one when none.
  FakeFileSystem* disk = nullptr;

 private:
  FakeEventLoop& loop_;
  Event<std::string, std::string>& stopped_;
  std::string path_;
};

// A player's audio and subtitle tracks: the test sets what the stream holds, a choice marks the
// track, and each change is announced through the loop as the real players do.
class FakeTracks {
 public:
  FakeTracks(FakeEventLoop& loop, Event<>& changed) : loop_(loop), changed_(changed) {}
  void set(std::vector<MediaTrack> tracks);
  const std::vector<MediaTrack>& list() const { return tracks_; }
  // Fails as the players do when the stream has no such track.
  void select(TrackKind kind, int id);

 private:
  FakeEventLoop& loop_;
  Event<>& changed_;
  std::vector<MediaTrack> tracks_;
};

class FakeWindowsMediaPlayer : public WindowsMediaPlayer {
 public:
  FakeWindowsMediaPlayer(CallLog& log, FailureSwitch& failures, FakeEventLoop& loop)
      : log_(log), failures_(failures), loop_(loop) {}
  void setURL(const std::string& address) override;
  std::string URL() const override { return url_; }
  void close() override;
  void play() override;
  void pause() override;
  void stop() override;
  void setPlayCount(int count) override;
  int playState() const override;
  std::string versionInfo() const override;
  std::string durationString() const override;
  std::string sourceURL() const override { return url_; }
  int errorCount() const override { return static_cast<int>(errors_.size()); }
  PlayerError errorItem(int index) const override;
  void clearErrorQueue() override;
  void startRecording(const std::string& path) override;
  void stopRecording() override;
  std::vector<MediaTrack> tracks() const override { return tracks_.list(); }
  void selectTrack(TrackKind kind, int id) override;
  FakeTracks& streamTracks() { return tracks_; }

  // What the test arranges.
  std::string version = "12.0.19041.1";
  int state = WmpState::Ready;
  int playCount = 1;
  std::string duration;
  void queueError(PlayerError e) { errors_.push_back(std::move(e)); }
  // What the engine does with an address it is given; by default it stays opening.
  std::function<void(const std::string& address)> onOpen;

  // Engine news, delivered through the loop: the new state and its PlayStateChange.
  void enter(int newState);
  // The engine gives up on the stream: nothing loaded, an error queued and announced. Does
  // nothing once the player holds no stream, as the real one drops late news.
  void failWith(int32_t code, const std::string& description = "failed");
  // Writing the recording fails (a full disk): it ends, and the player says why.
  void failRecording(const std::string& problem) { recorder_.end(problem); }
  bool recording() const { return recorder_.running(); }
  void writeRecordingsTo(FakeFileSystem& disk) { recorder_.disk = &disk; }

 private:
  void record(const std::string& call) const;
  CallLog& log_;
  FailureSwitch& failures_;
  FakeEventLoop& loop_;
  FakeRecorder recorder_{loop_, recordingStopped};
  FakeTracks tracks_{loop_, tracksChanged};
  std::string url_;
  std::vector<PlayerError> errors_;
};

// The fallback player's code for a clip it could not open (refused, not found, bad data).
inline constexpr int32_t kFallbackOpenFailed = static_cast<int32_t>(0x80040011u);

class FakeRealPlayer : public RealPlayer {
 public:
  FakeRealPlayer(CallLog& log, FailureSwitch& failures, FakeEventLoop& loop)
      : log_(log), failures_(failures), loop_(loop) {}
  void setSource(const std::string& address) override;
  std::string source() const override;
  void doPlay() override;
  void doPause() override;
  void doStop() override;
  void clearQueuedClips() override;
  void setAutoStart(bool on) override;
  void setWantErrors(bool on) override;
  void setCacheSeconds(int32_t seconds) override;
  void setMaintainAspect(bool on) override;
  void setVideoEnabled(bool on) override;
  void setAudioEnabled(bool on) override;
  void setWantStatusEvents(bool on) override;
  std::string versionInfo() const override;
  int playState() const override;
  int32_t lengthMs() const override;
  std::string lastStatus() const override;
  void showImageWindow() override;
  void startRecording(const std::string& path) override;
  void stopRecording() override;
  std::vector<MediaTrack> tracks() const override { return tracks_.list(); }
  void selectTrack(TrackKind kind, int id) override;
  FakeTracks& streamTracks() { return tracks_; }

  std::string version = "6.0.12.1040";
  int state = RealState::Stopped;
  int32_t length = 0;
  std::string status;
  // What the engine does when a clip is started; by default it stays contacting.
  std::function<void(const std::string& source)> onPlay;

  // Engine news about the current clip, delivered through the loop unless the clip has been
  // replaced by another or let go (206) by then.
  void enter(int newState);
  void failWith(int32_t rmaCode);
  void raiseOpened(int32_t kind);
  void failRecording(const std::string& problem) { recorder_.end(problem); }
  bool recording() const { return recorder_.running(); }
  void writeRecordingsTo(FakeFileSystem& disk) { recorder_.disk = &disk; }

 private:
  void record(const std::string& call) const;
  void deliver(std::function<void()> event);
  CallLog& log_;
  FailureSwitch& failures_;
  FakeEventLoop& loop_;
  FakeRecorder recorder_{loop_, recordingStopped};
  FakeTracks tracks_{loop_, tracksChanged};
  std::string source_;
  unsigned clip_ = 0;
  bool lettingGo_ = false;
};

struct ShownMessage {
  std::string text;
  std::string title;
  MessageIcon icon;
};

class FakeMessageBoxes : public MessageBoxes {
 public:
  explicit FakeMessageBoxes(CallLog& log) : log_(log) {}
  void show(const std::string& text, const std::string& title, MessageIcon icon) override;
  std::vector<ShownMessage> shown;
  // Runs while a box is open, as the events a modal box lets through would.
  std::function<void()> whileShown;

 private:
  CallLog& log_;
};

class FakeProcess : public Process {
 public:
  void end(int status) override { endedWith.push_back(status); }
  bool ending() const override { return !endedWith.empty(); }
  std::vector<int> endedWith;
};

// Windows the test puts on screen: each with a title, an owner (0 for a top-level window) and
// whether it accepts a close request.
class FakeWindowFunctions : public WindowFunctions {
 public:
  explicit FakeWindowFunctions(CallLog& log) : log_(log) {}
  struct FakeWindow {
    WindowHandle handle;
    std::string title;
    WindowHandle owner = 0;
    bool refusesClose = false;
    bool open = true;
  };
  WindowHandle activeWindow() override { return active; }
  WindowHandle lastActivePopup(WindowHandle owner) override;
  std::string windowText(WindowHandle window, int maxCount) override;
  void sendClose(WindowHandle window) override;

  // Adds a window; pop-ups added later count as more recently active.
  WindowHandle open(std::string title, WindowHandle owner = 0, bool refusesClose = false);
  bool isOpen(WindowHandle window) const;
  WindowHandle active = 0;

 private:
  FakeWindow* find(WindowHandle window);
  CallLog& log_;
  std::vector<FakeWindow> windows_;
};

}  // namespace zelvo::test
