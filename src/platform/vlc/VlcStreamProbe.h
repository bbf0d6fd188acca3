// A headless probe on libVLC: plays an address into memory callbacks instead of a window and
// a sound card, and reports on the UI thread once the first picture or sound was decoded.
// libVLC reads the ASX playlists libmpv cannot.
#pragma once

#include <QObject>
#include <cstdint>
#include <memory>
#include <string>

#include "formats/StationAddress.h"
#include "platform/StreamProbe.h"
#include "platform/qt/ProbeDeadline.h"

struct libvlc_instance_t;
struct libvlc_media_player_t;
struct libvlc_media_t;

namespace zelvo {

namespace vlc {
struct ProbeSink;
class VlcPlayerReaper;
class EngineLog;
}  // namespace vlc

// Each probe has an engine instance of its own, so that what libVLC logs about a failure is
// about this probe's address. Every address gets a fresh media player; the one before stops
// on a thread of its own, since stopping can take most of a second.
class VlcStreamProbe : public QObject, public StreamProbe {
  Q_OBJECT

 public:
  VlcStreamProbe();
  ~VlcStreamProbe() override;
  VlcStreamProbe(const VlcStreamProbe&) = delete;
  VlcStreamProbe& operator=(const VlcStreamProbe&) = delete;

  void start(const std::string& address, int timeoutMs) override;
  void cancel() override;

 private:
  enum class News { Decoded, Error, Ended };
  bool ensureEngine();
  // Plays media (taken over) on a fresh engine player for the current attempt.
  void play(libvlc_media_t* media);
  void retirePlayer();
  void heard(News news, uint64_t attempt, const std::string& detail);
  void ended();
  std::string pictureSize() const;
  void conclude(ProbeResult::Outcome outcome, const std::string& detail);
  std::string takeLastProblem();

  libvlc_instance_t* instance_ = nullptr;
  bool engineTried_ = false;
  static constexpr int kSizeRetries = 20;
  static constexpr int kSizeRetryMs = 25;
  int sizeAsked_ = 0;  // how often the current attempt has asked for its picture's size
  bool rtspHandled_ = false;
  libvlc_media_player_t* player_ = nullptr;
  libvlc_media_t* media_ = nullptr;
  vlc::ProbeSink* sink_ = nullptr;  // the current player's; owned by it until it is retired
  // Declared after instance_: every retired player is gone before the instance is released.
  std::unique_ptr<vlc::VlcPlayerReaper> reaper_;
  std::unique_ptr<vlc::EngineLog> log_;
  ProbeDeadline deadline_;
  uint64_t attempt_ = 0;
  bool running_ = false;
  int playlistDepth_ = 0;
  RequestHeaders headers_;  // the address's own, sent with every request of its stream
};

}  // namespace zelvo
