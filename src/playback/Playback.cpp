#include "playback/Playback.h"

#include "form/FormControls.h"
#include "form/SharedState.h"
#include "formats/StationAddress.h"
#include "formats/TextCase.h"
#include "platform/Steps.h"

namespace zelvo {

namespace {
constexpr int kBrowserDesignHeight = 6135;
}

bool isWebPageAddress(const std::string& address) {
  return toLowerAscii(std::string(addressUrl(address))).find(".htm") != std::string::npos;
}

void Playback::PlayAddress(const std::string& address) {
  FormControls& c = x_.c;
  SharedState& s = x_.s;
  WindowsMediaPlayer& wmp = x_.p.wmp;
  RealPlayer& real = x_.p.real;
  starting.raise(address);

  step([&] { c.RealAudio1.setVisible(false); });
  step([&] { c.WindowsMediaPlayer1.setVisible(true); });
  step([&] { c.WebBrowser1.setVisible(false); });
  s.pendingAddress = address;
  s.playbackStopped = false;
  s.currentAddress = address;

  if (isWebPageAddress(address)) {
    step([&] { StopAll(); });
    step([&] { c.WindowsMediaPlayer1.setVisible(false); });
    step([&] { x_.p.browser.navigate(std::string(addressUrl(address))); });
    step([&] { c.WebBrowser1.setVisible(true); });
    step([&] { c.Command14.setEnabled(false); });
    return;
  }

  s.playerKind = PlayerKind::Win;
  step([&] { real.clearQueuedClips(); });
  step([&] { real.doStop(); });
  step([&] { c.WindowsMediaPlayer1.setVisible(true); });
  step([&] { wmp.stop(); });
  step([&] { c.tvm.setVisible(true); });
  step([&] { c.RealAudio1.setVisible(false); });
  step([&] { wmp.clearErrorQueue(); });
  // A deferred open still due would only open this address a second time.
  step([&] { c.Timer8.setEnabled(false); });
  step([&] { wmp.setURL(address); });
}

void Playback::PlayWithRealPlayer(const std::string& address) {
  FormControls& c = x_.c;
  step([&] { c.RealAudio1.setVisible(true); });
  step([&] { c.WindowsMediaPlayer1.setVisible(false); });
  x_.s.playerKind = PlayerKind::Real;
  step([&] { x_.p.wmp.stop(); });
  step([&] { x_.p.wmp.close(); });
  step([&] { x_.p.real.setSource(address); });
  step([&] { x_.p.real.setAutoStart(true); });
  step([&] { x_.p.real.doPlay(); });
  x_.p.loop.processPendingEvents();
}

void Playback::StopAll() {
  FormControls& c = x_.c;
  starting.raise("");
  c.Timer9.setEnabled(false);
  c.Timer8.setEnabled(false);
  c.WebBrowser1.setHeight(kBrowserDesignHeight);
  x_.s.playbackStopped = true;
  x_.p.wmp.stop();
  x_.p.wmp.close();
  x_.p.real.doStop();
  c.RealAudio1.setVisible(false);
  c.WindowsMediaPlayer1.setVisible(true);
  c.WebBrowser1.setVisible(false);
  x_.p.browser.stop();
}

}  // namespace zelvo
