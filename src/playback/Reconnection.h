// Reopening a live station by itself after its stream dropped: the waits between tries, the
// alternation of the two players, the status line, and the recording that goes on afterwards.
#pragma once

#include <cstdint>
#include <string>

#include "form/Services.h"
#include "platform/AddressCheck.h"
#include "platform/Timer.h"

namespace zelvo {

class Playback;
class Recording;

inline constexpr const char* kReconnectingPrefix = "正在重新连接…";
inline constexpr const char* kReconnectionGaveUp = "无法重新连接，已停止尝试";

// What the status line shows before try number n.
std::string reconnectingCaption(int n);

class Reconnection {
 public:
  Reconnection(Context context, Playback& playback, Recording& recording)
      : x_(context), playback_(playback), recording_(recording) {}
  Reconnection(const Reconnection&) = delete;
  Reconnection& operator=(const Reconnection&) = delete;

  void connect();
  // Between tries, looks at the address once a second, so that the next try starts as soon as
  // the server answers again instead of at the end of its wait.
  void useAddressCheck(AddressCheck& check);
  // Ends the tries, if any: the user has taken over, or the window closes.
  void Cancel();
  bool reconnecting() const { return active_; }
  // What the status line says about the tries: while they run, and after they gave up until
  // the next start; empty otherwise.
  const std::string& notice() const { return notice_; }

  // Counts whole seconds while tries are due or running.
  Timer timer{"reconnectTimer", 1000, false};

 private:
  enum class Engine { Primary, Fallback };
  void onStarting(const std::string& address);
  void onPrimaryState();
  void onPrimaryError();
  void onFallbackState(int newState);
  void playing(Engine engine);
  void dropped();
  void onTick();
  void startTry();
  void lookAtAddress();
  void onAnswered();
  bool plainStation() const;
  bool inCharge(Engine engine) const;
  void showStatus(const std::string& text);
  void clearStatus();

  Context x_;
  Playback& playback_;
  Recording& recording_;
  AddressCheck* check_ = nullptr;

  std::string watched_;  // the address the user started last; "" after a stop
  bool reachedPlaying_ = false;
  Engine engine_ = Engine::Primary;  // the player that played it last
  bool ownStart_ = false;            // the next start in the primary player is a try of ours
  bool fallbackFailed_ = false;      // the fallback player reported a failure of its clip
  int32_t knownLengthMs_ = 0;        // the fallback player's clip length, once it knew it

  bool active_ = false;    // a series of tries runs
  bool awaiting_ = false;  // a try has started and its outcome is not known yet
  int tries_ = 0;
  int waitSeconds_ = 0;  // before the next try, once the one running has failed
  int untilTry_ = 0;
  int elapsedSeconds_ = 0;
  int tryAgeSeconds_ = 0;
  bool resumeRecording_ = false;
  std::string notice_;
};

}  // namespace zelvo
