// The play, up, down and pause buttons: what a click on each of them starts.
#pragma once

#include "form/Services.h"
#include "library/StationRef.h"
#include "platform/Event.h"

namespace zelvo {

class Playback;
class AddressExpansion;

class Buttons {
 public:
  Buttons(Context context, Playback& playback, AddressExpansion& expansion)
      : x_(context), playback_(playback), expansion_(expansion) {}

  void connect();
  void PlayClicked();  // Command2
  void UpClicked();    // Command4
  void DownClicked();  // Command5
  // Command14. Not continue-on-error: a failing step leaves the caption as it was.
  void PauseClicked();

  // Up or down stepped to another station of the list, which now plays.
  Event<StationRef> stationChosen;

 private:
  void moveBy(int offset);
  Context x_;
  Playback& playback_;
  AddressExpansion& expansion_;
};

}  // namespace zelvo
