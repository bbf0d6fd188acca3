// What the reactions to both players' events share: the counter-template test, the moves to the
// next address of a series, the hand-off to the fallback player, and the deferred open on Timer8.
#pragma once

#include <cstddef>
#include <string>

#include "form/Services.h"

namespace zelvo {

class Playback;
class AddressExpansion;

class Monitoring {
 public:
  Monitoring(Context context, Playback& playback, AddressExpansion& expansion)
      : x_(context), playback_(playback), expansion_(expansion) {}

  void connect();

  // An automatic move to the next address: dz1 holds a series and the user has not stopped.
  bool advancePermitted() const;
  // The next concrete address of the series in dz1 (the template moves on in lastTemplate).
  std::string nextExpansion();
  void RestartWithNextExpansion();
  void HandOffToRealPlayer();
  void ScheduleDeferredOpen();
  void CancelDeferredOpen();
  // During a station list scan: the playing row as a found-station record in Text2.
  void WriteFoundStationRecord();
  // Timer8: opens the pending address in the primary player, at least 50 ms after it was set.
  void DeferredOpen();

 private:
  Context x_;
  Playback& playback_;
  AddressExpansion& expansion_;
};

}  // namespace zelvo
