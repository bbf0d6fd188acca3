#include "playback/Buttons.h"

#include "form/Captions.h"
#include "form/FormControls.h"
#include "form/SharedState.h"
#include "library/StationList.h"
#include "platform/Steps.h"
#include "playback/AddressExpansion.h"
#include "playback/Playback.h"

namespace zelvo {

void Buttons::connect() {
  FormControls& c = x_.c;
  c.Command2.click.connect([this] { step([&] { PlayClicked(); }); });
  c.Command4.click.connect([this] { step([&] { UpClicked(); }); });
  c.Command5.click.connect([this] { step([&] { DownClicked(); }); });
  c.Command14.click.connect([this] { step([&] { PauseClicked(); }); });
}

void Buttons::PlayClicked() {
  // The window shows before its lists are read, and reading lets a press through. With no
  // station yet, playing "" would only make the players' late news blank the station shown
  // afterwards (dz1 takes the last template back), and every later press would play "" again.
  if (x_.c.dz1.text().empty()) return;
  x_.s.workMode = WorkMode::Playing;
  step([&] { playback_.PlayAddress(expansion_.ExpandAddress(x_.c.dz1.text())); });
}

void Buttons::UpClicked() { moveBy(-1); }
void Buttons::DownClicked() { moveBy(+1); }

void Buttons::moveBy(int offset) {
  FormControls& c = x_.c;
  step([&] { c.tvm.setVisible(true); });
  const int k = firstRowNamed(c, c.tvm.text());
  if (k < 0) {
    step([&] { c.dz1.setVisible(false); });
    step([&] { x_.p.wmp.setPlayCount(10); });
    return;
  }
  const int j = k + offset;
  // At either end of the list the current station stays and nothing new starts.
  if (j < 0 || j >= c.tvm.count()) return;
  showStationRow(c, j);
  stationChosen.raise({c.tvm.text(), c.dz1.text()});
  step([&] { playback_.PlayAddress(expansion_.ExpandAddress(c.dz1.text())); });
}

void Buttons::PauseClicked() {
  WindowsMediaPlayer& wmp = x_.p.wmp;
  RealPlayer& real = x_.p.real;
  Button& button = x_.c.Command14;
  const bool pausing = button.caption() == kPauseCaption;
  if (wmp.playState() == WmpState::Ready) {
    if (pausing) {
      real.doPause();
    } else {
      wmp.play();
      real.doPlay();
    }
  } else {
    if (pausing) {
      wmp.pause();
      real.doPause();
    } else {
      wmp.play();
    }
  }
  button.setCaption(pausing ? kContinueCaption : kPauseCaption);
}

}  // namespace zelvo
