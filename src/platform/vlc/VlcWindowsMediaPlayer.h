// The primary player on libVLC: the Windows Media Player contract over a libVLC media player,
// with its video surface and control strip as one widget. Its jobs have a file each: the
// contract (VlcWindowsMediaPlayer.cpp), the states (VlcPlayerStates), recording
// (VlcPlayerRecording), the tracks (VlcPlayerTracks) and the control strip (VlcPlayerControls).
#pragma once

#include <QPointer>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "formats/StationAddress.h"
#include "platform/WindowsMediaPlayer.h"
#include "platform/qt/EngineBase.h"
#include "platform/vlc/VlcEngine.h"
#include "platform/vlc/VlcPlayerReaper.h"

struct libvlc_instance_t;
struct libvlc_media_player_t;
struct libvlc_media_t;
struct libvlc_event_t;
class QWidget;

namespace zelvo {

namespace vlc {
class VlcControlStrip;
class VlcDialogs;
}  // namespace vlc

struct VlcPlayerOptions {
  // How long opening may take, and how long a playing stream may stand still, before failing.
  int watchdogMs = 15000;
  // Added to libVLC's arguments, e.g. "--vout=dummy" where there is no screen.
  std::vector<std::string> engineArguments;
};

class VlcWindowsMediaPlayer : public EngineBase, public WindowsMediaPlayer {
  Q_OBJECT
 public:
  using Options = VlcPlayerOptions;

  explicit VlcWindowsMediaPlayer(Options options = {}, QWidget* parent = nullptr);
  ~VlcWindowsMediaPlayer() override;
  VlcWindowsMediaPlayer(const VlcWindowsMediaPlayer&) = delete;
  VlcWindowsMediaPlayer& operator=(const VlcWindowsMediaPlayer&) = delete;

  // The player's area: video above the controls.
  QWidget* widget();

  void setURL(const std::string& address) override;
  std::string URL() const override;
  void close() override;
  void play() override;
  void pause() override;
  void stop() override;
  void setPlayCount(int count) override;
  int playState() const override;
  std::string versionInfo() const override;
  std::string durationString() const override;
  std::string sourceURL() const override;
  int errorCount() const override;
  PlayerError errorItem(int index) const override;
  void clearErrorQueue() override;
  // The stream is opened again with a second output that writes it to the file.
  void startRecording(const std::string& path) override;
  void stopRecording() override;
  // libVLC's own track lists; a switch changes the player's selection, not the stream.
  std::vector<MediaTrack> tracks() const override;
  void selectTrack(TrackKind kind, int id) override;

 private:
  struct EngineEvent {
    int type = 0;
    int64_t number = 0;
  };

  static void onEngineEvent(const libvlc_event_t* event, void* self);
  // Which of libVLC's log lines are kept to tell why a stream failed.
  static bool worthKeeping(int level, const std::string& line);
  void handleEngineEvent(EngineEvent event);
  void handleEnd();
  // The position on the control strip, and a recording whose file cannot be written.
  void tick() override;
  std::optional<int64_t> progressBoundMs() const override;
  void progressLost(int64_t boundMs) override;

  // Stops libVLC and drops whatever its threads still have in flight for the old stream.
  // In the background, a fresh engine player takes over at once while the old one stops.
  enum class Halt { InBackground, WaitForEngine };
  void haltEngine(Halt how = Halt::InBackground);
  libvlc_media_player_t* createEnginePlayer();
  void detachEvents(libvlc_media_player_t* player);
  void applyAudioSettings();
  void startMedia(libvlc_media_t* media, const std::string& source);
  void markStarted();
  // A stream that has not started, refused with a 403 to the engine's own agent, opens once
  // more as a desktop browser would ask; true when that retry has begun.
  bool retriedAsBrowser(const std::vector<std::string>& logged);
  void setState(int state);
  void failWith(int32_t code, const std::string& description);
  void unloadMedia();
  // The current stream opened anew, with one more option unless it is empty; null on failure.
  libvlc_media_t* reopenedMedia(const std::string& option);
  // Starts media in place of the current stream without telling the caller of the opening:
  // to the caller the stream plays on.
  void restartQuietly(libvlc_media_t* media);
  void announceRecordingEnd(const std::string& path, const std::string& problem) override;
  // The track lists or the choice changed: tracksChanged, queued.
  void announceTracks();
  // Hands player_ the X window it draws into, made for it alone: libVLC refuses a window that
  // one of its players still holds while it stops, and then opens a top-level window of its own.
  void bindVideoSurface();
  // What the reaper runs once the player that drew into drawable_ is gone: the window goes too.
  std::function<void()> releaseDrawable();
  bool rtspHandled_ = false;
  bool engineReady() const { return player_ != nullptr; }

  void connectControlStrip();
  void togglePlayPause();
  void seekTo(double fraction);
  void toggleFullScreen();

  Options options_;
  libvlc_instance_t* instance_ = nullptr;
  libvlc_media_player_t* player_ = nullptr;
  libvlc_media_t* media_ = nullptr;
  bool engineBusy_ = false;  // a stream was handed to player_ since it last stopped
  // Declared after instance_, so retiring players are gone before the instance is released.
  std::unique_ptr<vlc::VlcPlayerReaper> reaper_ = std::make_unique<vlc::VlcPlayerReaper>();
  std::unique_ptr<vlc::VlcDialogs> dialogs_;
  int volume_ = -1;
  bool muted_ = false;

  QPointer<QWidget> area_;
  QPointer<QWidget> videoSurface_;
  QPointer<QWidget> drawable_;  // player_'s own X window, inside videoSurface_
  QPointer<vlc::VlcControlStrip> controls_;

  std::string url_;
  std::string source_;         // what libVLC opens: the bare URL, or a playlist's entry
  RequestHeaders headers_;     // the station's own, sent with every request of source_
  bool browserAgent_ = false;  // the current address now asks as a desktop browser
  int state_ = WmpState::Ready;
  bool started_ = false;  // picture or sound has come for the current stream
  bool failed_ = false;
  int64_t lastTime_ = -1;
  int playCount_ = 1;
  int repeatsLeft_ = 0;
  int playlistDepth_ = 0;
  bool quietRestart_ = false;  // opening states are not reported until the picture is back
  std::vector<PlayerError> errors_;
  uint64_t addressNumber_ = 0;  // moves on with every setURL and close; error events carry it

  // The latest lines libVLC logged about the stream: they tell why it failed.
  vlc::EngineLog log_{64, &worthKeeping};
};

}  // namespace zelvo
