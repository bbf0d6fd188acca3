#include "playback/Monitoring.h"

#include <cmath>

#include "form/FormControls.h"
#include "form/SharedState.h"
#include "formats/CounterTemplates.h"
#include "formats/TextRules.h"
#include "platform/Failure.h"
#include "platform/Steps.h"
#include "playback/AddressExpansion.h"
#include "playback/Playback.h"

namespace zelvo {

void Monitoring::connect() {
  x_.c.Timer8.tick.connect([this] { step([&] { DeferredOpen(); }); });
}

bool Monitoring::advancePermitted() const {
  return isAnyTwoPercentTemplate(x_.c.dz1.text()) && !x_.s.playbackStopped;
}

std::string Monitoring::nextExpansion() { return expansion_.ExpandAddress(x_.c.dz1.text()); }

void Monitoring::RestartWithNextExpansion() {
  const std::string next = nextExpansion();
  // Past the end of a list the expansion has stopped everything and shown the results.
  if (x_.s.playbackStopped) return;
  playback_.PlayAddress(next);
}

void Monitoring::HandOffToRealPlayer() {
  const SharedState& s = x_.s;
  playback_.PlayWithRealPlayer(s.pendingAddress.empty() ? s.currentAddress : s.pendingAddress);
}

void Monitoring::ScheduleDeferredOpen() { x_.c.Timer8.setEnabled(true); }

void Monitoring::CancelDeferredOpen() { x_.c.Timer8.setEnabled(false); }

void Monitoring::WriteFoundStationRecord() {
  FormControls& c = x_.c;
  const std::string& address = c.dz1.text();
  // "list%", the counter, "%": the counter is the row being played.
  if (address.size() < 6) fail("no list counter in " + address);
  const std::string counter = address.substr(5, address.size() - 6);
  const double row = roundHalfEven(parseNumber(counter).value_or(0));
  if (row < 0 || row >= c.dz1.count()) return;
  c.Text2.setText(c.tvm.text() + "," + c.dz1.row(static_cast<int>(row)) + ",");
}

void Monitoring::DeferredOpen() {
  FormControls& c = x_.c;
  SharedState& s = x_.s;
  WindowsMediaPlayer& wmp = x_.p.wmp;
  step([&] { CancelDeferredOpen(); });
  // Nothing opens after a stop: the end of a list run stops everything while the reaction to
  // the last station is still scheduling this open.
  if (s.playbackStopped) return;
  if (c.RealAudio1.visible()) return;
  if (!s.pendingAddress.empty()) {
    step([&] { wmp.setURL(s.pendingAddress); });
    s.pendingAddress.clear();
    s.currentAddress.clear();
  } else if (!s.currentAddress.empty()) {
    step([&] { wmp.setURL(s.currentAddress); });
    s.currentAddress.clear();
  } else {
    step([&] { wmp.setURL(nextExpansion()); });
  }
  step([&] { CancelDeferredOpen(); });
}

}  // namespace zelvo
