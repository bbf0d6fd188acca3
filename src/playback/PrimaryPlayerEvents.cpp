#include "playback/PrimaryPlayerEvents.h"

#include "form/AppTitle.h"
#include "form/FormControls.h"
#include "form/SharedState.h"
#include "formats/CounterTemplates.h"
#include "formats/TextCase.h"
#include "platform/Steps.h"
#include "playback/AddressExpansion.h"
#include "playback/Monitoring.h"

namespace zelvo {

namespace {
constexpr int16_t kMaxPlayingCount = 32767;
}

void PrimaryPlayerEvents::connect() {
  WindowsMediaPlayer& wmp = x_.p.wmp;
  wmp.playStateChange.connect([this](int) { step([&] { PlayStateChange(); }); });
  wmp.error.connect([this] { step([&] { Error(); }); });
  wmp.positionChange.connect([this](double, double) { step([&] { PositionChange(); }); });
}

// Every test reads the player's state afresh: the event's own argument may be stale by now.
void PrimaryPlayerEvents::PlayStateChange() {
  FormControls& c = x_.c;
  SharedState& s = x_.s;
  WindowsMediaPlayer& wmp = x_.p.wmp;
  auto stateIs = [&](int state) { return guard([&] { return wmp.playState() == state; }); };

  x_.p.loop.processPendingEvents();
  const size_t p = firstPercentPosition(c.dz1.text());

  if (stateIs(WmpState::Buffering)) s.pendingAddress.clear();
  if (stateIs(WmpState::Playing)) {
    whilePlaying();
  } else {
    if (guard([&] { return wmp.playState() != WmpState::Paused; }))
      step([&] { c.Command14.setEnabled(false); });
    step([&] { c.dz1.setText(s.lastTemplate); });
  }

  auto advanceHolds = [&] { return holdsPercentFrom(c.dz1.text(), p + 1) && !s.playbackStopped; };
  if (stateIs(WmpState::MediaEnded) && advanceHolds()) {
    step([&] { s.pendingAddress = monitoring_.nextExpansion(); });
    step([&] { wmp.close(); });
    return;
  }
  if (stateIs(WmpState::Stopped) && advanceHolds()) {
    step([&] { wmp.close(); });
    return;
  }
  if (stateIs(WmpState::Ready) && advanceHolds()) step([&] { monitoring_.ScheduleDeferredOpen(); });
}

void PrimaryPlayerEvents::whilePlaying() {
  FormControls& c = x_.c;
  SharedState& s = x_.s;
  WindowsMediaPlayer& wmp = x_.p.wmp;

  step([&] { c.Command14.setEnabled(true); });
  step([&] { c.Label1.setCaption(wmp.durationString()); });
  // The short-clip filter compares the length as text: "00:15" sorts before "20".
  if (guard([&] { return wmp.durationString() < c.Combo1.text() && c.Check3.checked(); }))
    step([&] { wmp.close(); });
  if (s.playingCount < kMaxPlayingCount) ++s.playingCount;
  if (s.workMode == WorkMode::ListScan) {
    step([&] { c.Command3.setCaption(std::to_string(s.playingCount)); });
    step([&] { monitoring_.WriteFoundStationRecord(); });
    if (isListAddress(c.dz1.text())) {
      step([&] { wmp.close(); });
      step([&] { s.pendingAddress = monitoring_.nextExpansion(); });
      step([&] { monitoring_.ScheduleDeferredOpen(); });
    }
  }
  step([&] { c.Text1.setText(wmp.sourceURL() + "\r" + c.Text1.text()); });
}

void PrimaryPlayerEvents::Error() {
  FormControls& c = x_.c;
  SharedState& s = x_.s;
  WindowsMediaPlayer& wmp = x_.p.wmp;
  auto firstCodeIsNot = [&](int32_t code) {
    return guard([&] { return wmp.errorItem(0).code != code; });
  };

  int n = 0;
  step([&] { n = wmp.errorCount(); });
  if (c.Check1.checked() && firstCodeIsNot(WmpError::UnsupportedProtocol)) {
    step([&] { x_.p.messages.show(wmp.errorItem(0).description, kAppTitle, MessageIcon::None); });
    // The box let events run: a stop meanwhile has closed the player and emptied its queue.
    step([&] { n = wmp.errorCount(); });
  }
  if (n == 0) return;

  if (firstCodeIsNot(WmpError::UnsupportedProtocol)) {
    step([&] { wmp.clearErrorQueue(); });
    if (guard([&] { return monitoring_.advancePermitted(); })) {
      step([&] { s.pendingAddress = monitoring_.nextExpansion(); });
      // The expansion ran past the end of a list and stopped everything: nothing starts now.
      if (s.playbackStopped) return;
      step([&] { monitoring_.ScheduleDeferredOpen(); });
    }
  }
  const bool handOff = guard([&] {
    return wmp.errorItem(0).code == WmpError::UnsupportedProtocol ||
           containsIgnoringCase(s.pendingAddress, ".rm") ||
           containsIgnoringCase(s.pendingAddress, ".ram");
  });
  if (!handOff) return;
  step([&] { wmp.clearErrorQueue(); });
  step([&] { monitoring_.CancelDeferredOpen(); });
  step([&] { monitoring_.HandOffToRealPlayer(); });
}

void PrimaryPlayerEvents::PositionChange() { x_.c.form1.setWindowState(WindowState::Normal); }

}  // namespace zelvo
