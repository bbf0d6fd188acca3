#include "playback/FallbackPlayerEvents.h"

#include <optional>

#include "form/FormControls.h"
#include "form/SharedState.h"
#include "formats/CounterTemplates.h"
#include "formats/TextCase.h"
#include "library/FormatDuration.h"
#include "platform/Steps.h"
#include "playback/AddressExpansion.h"
#include "playback/Monitoring.h"

namespace zelvo {

void FallbackPlayerEvents::connect() {
  RealPlayer& real = x_.p.real;
  real.stateChange.connect(
      [this](int oldState, int newState) { step([&] { OnStateChange(oldState, newState); }); });
  real.errorMessage.connect([this](int32_t, int32_t rmaCode, int32_t, std::string, std::string,
                                   std::string) { step([&] { OnErrorMessage(rmaCode); }); });
  real.bufferingProgress.connect([this](int32_t, int32_t) { step([&] { OnBuffering(); }); });
  real.presentationEvent.connect(
      [this](int32_t kind, int32_t, std::string) { step([&] { OnPresentationEvent(kind); }); });
}

void FallbackPlayerEvents::OnStateChange(int oldState, int newState) {
  FormControls& c = x_.c;
  SharedState& s = x_.s;
  RealPlayer& real = x_.p.real;

  x_.p.loop.processPendingEvents();
  const size_t p = firstPercentPosition(c.dz1.text());
  int state = RealState::Stopped;
  step([&] { state = real.playState(); });

  if (state == RealState::Playing) {
    whilePlaying();
  } else if (state != RealState::Paused) {
    step([&] { c.Command14.setEnabled(false); });
  }

  std::string status;
  step([&] { status = real.lastStatus(); });
  if (toLowerAscii(status) != kRealStatusContacting) {
    if (guard([&] {
          return holdsPercentFrom(c.dz1.text(), p + 1) && newState == RealState::Buffering &&
                 oldState == RealState::Playing && !s.playbackStopped &&
                 s.workMode != WorkMode::ListScan;
        }))
      step([&] { real.doStop(); });
  }

  if (holdsPercentFrom(c.dz1.text(), p + 1) && newState == RealState::Stopped &&
      oldState != RealState::Stopped && !s.playbackStopped)
    step([&] { monitoring_.RestartWithNextExpansion(); });
}

void FallbackPlayerEvents::whilePlaying() {
  FormControls& c = x_.c;
  RealPlayer& real = x_.p.real;
  if (x_.s.workMode == WorkMode::ListScan) {
    step([&] { monitoring_.WriteFoundStationRecord(); });
    if (isListAddress(c.dz1.text())) step([&] { real.doStop(); });
  }
  std::optional<int32_t> length;
  step([&] { length = real.lengthMs(); });
  step([&] { c.Command14.setEnabled(true); });
  if (length) step([&] { c.Label1.setCaption(FormatDuration(*length)); });
  step([&] { c.Text1.setText(real.source() + "\r" + c.Text1.text()); });
}

void FallbackPlayerEvents::OnErrorMessage(int32_t rmaCode) {
  const size_t p = firstPercentPosition(x_.c.dz1.text());
  if (guard([&] {
        const int primaryState = x_.p.wmp.playState();
        return rmaCode != kRealIgnoredError && primaryState == WmpState::Ready &&
               holdsPercentFrom(x_.c.dz1.text(), p + 1) && !x_.s.playbackStopped;
      }))
    step([&] { monitoring_.RestartWithNextExpansion(); });
}

void FallbackPlayerEvents::OnBuffering() { x_.c.form1.setWindowState(WindowState::Normal); }

void FallbackPlayerEvents::OnPresentationEvent(int32_t kind) {
  if (kind == kRealClipOpened) step([&] { x_.p.real.showImageWindow(); });
}

}  // namespace zelvo
