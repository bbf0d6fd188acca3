#include "playback/Reconnection.h"

#include <algorithm>

#include "form/FormControls.h"
#include "form/SharedState.h"
#include "formats/CounterTemplates.h"
#include "formats/StationAddress.h"
#include "platform/Steps.h"
#include "playback/AddressExpansion.h"
#include "playback/Monitoring.h"
#include "playback/Playback.h"
#include "playback/Recording.h"

namespace zelvo {

namespace {
constexpr int kFirstWaitSeconds = 1;
constexpr int kLongestWaitSeconds = 30;
constexpr int kGiveUpAfterSeconds = 30 * 60;
// The players give up on a stream that does not start well before this; it only guards against
// a try that never tells its outcome.
constexpr int kTryBoundSeconds = 30;

bool plainAddress(const std::string& address) {
  const std::string url(addressUrl(address));
  return !url.empty() && !isAnyTwoPercentTemplate(url) && !isListAddress(url) &&
         !isWebPageAddress(url);
}
}  // namespace

std::string reconnectingCaption(int n) {
  return std::string(kReconnectingPrefix) + "（第 " + std::to_string(n) + " 次）";
}

void Reconnection::connect() {
  playback_.starting.listen(
      [this](const std::string& address) { step([&] { onStarting(address); }); });
  x_.p.wmp.playStateChange.listen([this](int) { step([&] { onPrimaryState(); }); });
  x_.p.wmp.error.listen([this] { step([&] { onPrimaryError(); }); });
  x_.p.real.errorMessage.listen([this](int32_t, int32_t, int32_t, std::string, std::string,
                                       std::string) { fallbackFailed_ = true; });
  x_.p.real.stateChange.listen(
      [this](int, int newState) { step([&] { onFallbackState(newState); }); });
  timer.tick.connect([this] { step([&] { onTick(); }); });
}

void Reconnection::useAddressCheck(AddressCheck& check) {
  check_ = &check;
  check.answered.connect([this] { step([&] { onAnswered(); }); });
}

void Reconnection::onStarting(const std::string& address) {
  fallbackFailed_ = false;
  knownLengthMs_ = 0;
  if (ownStart_) {
    ownStart_ = false;
    return;
  }
  Cancel();
  notice_.clear();
  watched_ = address;
  reachedPlaying_ = false;
}

void Reconnection::Cancel() {
  ownStart_ = false;
  resumeRecording_ = false;
  if (!active_) return;
  active_ = false;
  awaiting_ = false;
  if (check_) check_->cancel();
  step([&] { timer.setEnabled(false); });
  clearStatus();
}

bool Reconnection::inCharge(Engine engine) const {
  return x_.s.playerKind == (engine == Engine::Primary ? PlayerKind::Win : PlayerKind::Real);
}

bool Reconnection::plainStation() const {
  const SharedState& s = x_.s;
  return plainAddress(watched_) && (s.lastTemplate.empty() || plainAddress(s.lastTemplate)) &&
         !s.playbackStopped && s.workMode != WorkMode::ListScan;
}

void Reconnection::onPrimaryState() {
  WindowsMediaPlayer& wmp = x_.p.wmp;
  const int state = wmp.playState();
  if (state == WmpState::Playing) {
    playing(Engine::Primary);
  } else if (state == WmpState::MediaEnded && inCharge(Engine::Primary)) {
    // A clip that reached the end of its known length is over; the player reports one that
    // broke off before it as a failure.
    std::string length;
    step([&] { length = wmp.durationString(); });
    if (length.empty()) dropped();
  }
}

// The window has handed the address to the fallback player by now, as after any failure of the
// primary one; that is a try too, and the series goes on beside it.
void Reconnection::onPrimaryError() { dropped(); }

void Reconnection::onFallbackState(int newState) {
  if (!inCharge(Engine::Fallback)) return;
  RealPlayer& real = x_.p.real;
  if (newState == RealState::Playing && real.playState() == RealState::Playing) {
    step([&] { knownLengthMs_ = std::max(knownLengthMs_, real.lengthMs()); });
    playing(Engine::Fallback);
    return;
  }
  if (newState != RealState::Stopped) return;
  const bool failed = fallbackFailed_;
  fallbackFailed_ = false;
  step([&] { knownLengthMs_ = std::max(knownLengthMs_, real.lengthMs()); });
  if (failed || knownLengthMs_ <= 0) dropped();
}

void Reconnection::playing(Engine engine) {
  engine_ = engine;
  if (!active_) {
    // A recording that ended with an earlier stream has nothing to go on with.
    if (!reachedPlaying_) step([&] { recording_.forgetEndedWithStream(); });
    reachedPlaying_ = true;
    return;
  }
  active_ = false;
  awaiting_ = false;
  if (check_) check_->cancel();
  step([&] { timer.setEnabled(false); });
  clearStatus();
  if (resumeRecording_) {
    resumeRecording_ = false;
    step([&] { recording_.forgetEndedWithStream(); });
    if (!recording_.recording()) step([&] { recording_.toggle(); });
  }
}

void Reconnection::dropped() {
  if (!reachedPlaying_ || !plainStation()) return;
  // The hand-off to the fallback player may have brought the picture back already.
  const bool playsNow = guard([&] {
    return x_.p.real.playState() == RealState::Playing || x_.p.wmp.playState() == WmpState::Playing;
  });
  if (playsNow) return;
  if (!active_) {
    active_ = true;
    tries_ = 0;
    elapsedSeconds_ = 0;
    waitSeconds_ = kFirstWaitSeconds;
    resumeRecording_ = recording_.recording() || recording_.endedWithStream();
    // Ends cleanly and keeps the file; the recording goes on in a new file once it plays again.
    if (recording_.recording()) step([&] { recording_.end(); });
  } else if (!awaiting_) {
    return;  // the next try is due already
  }
  awaiting_ = false;
  if (elapsedSeconds_ >= kGiveUpAfterSeconds) {
    Cancel();
    // Late news of the last try starts nothing: the station must play again first.
    reachedPlaying_ = false;
    showStatus(kReconnectionGaveUp);
    return;
  }
  untilTry_ = waitSeconds_;
  waitSeconds_ = std::min(waitSeconds_ * 2, kLongestWaitSeconds);
  showStatus(reconnectingCaption(tries_ + 1));
  // Counting starts afresh, so each wait lasts its whole seconds.
  step([&] { timer.setEnabled(true); });
}

void Reconnection::onTick() {
  if (!active_) {
    timer.setEnabled(false);
    return;
  }
  ++elapsedSeconds_;
  if (awaiting_) {
    if (++tryAgeSeconds_ >= kTryBoundSeconds) dropped();
    return;
  }
  if (--untilTry_ > 0) {
    lookAtAddress();
    return;
  }
  startTry();
}

void Reconnection::lookAtAddress() {
  if (check_ && !check_->running()) check_->start(watched_);
}

// The server answers again: the next try need not wait any longer.
void Reconnection::onAnswered() {
  if (!active_ || awaiting_) return;
  startTry();
}

void Reconnection::startTry() {
  if (check_) check_->cancel();
  ++tries_;
  awaiting_ = true;
  tryAgeSeconds_ = 0;
  showStatus(reconnectingCaption(tries_));
  const Engine other = engine_ == Engine::Primary ? Engine::Fallback : Engine::Primary;
  // The player that played the station first, then the other one every other try.
  const Engine engine = tries_ % 2 == 1 ? engine_ : other;
  const std::string address = watched_;
  if (engine == Engine::Primary) {
    ownStart_ = true;
    step([&] { playback_.PlayAddress(address); });
    ownStart_ = false;
  } else {
    // Lets events run at its end: the user may take over meanwhile.
    step([&] { playback_.PlayWithRealPlayer(address); });
  }
}

void Reconnection::showStatus(const std::string& text) {
  notice_ = text;
  if (!text.empty()) step([&] { x_.c.l.setCaption(text); });
}

void Reconnection::clearStatus() {
  notice_.clear();
  if (x_.c.l.caption().rfind(kReconnectingPrefix, 0) == 0) step([&] { x_.c.l.setCaption(""); });
}

}  // namespace zelvo
