// The station selectors and the panels around them: choosing a name or an address plays it,
// Enter plays a typed name, the add button's caption follows the focus, the view switches
// between compact and full, and the log of played addresses stays short.
#pragma once

#include "form/PlaybackRequests.h"
#include "form/Services.h"
#include "library/StationRef.h"
#include "platform/Event.h"

namespace zelvo {

inline constexpr int kCompactHeight = 6500;
inline constexpr int kFullHeight = 8000;

class Selectors {
 public:
  Selectors(Context context, PlaybackRequests& playback) : x_(context), playback_(playback) {}

  void connect();
  void NameChosen();     // tvm Click
  void AddressChosen();  // dz1 Click
  void NameKeyDown(int keyCode);
  void LogChanged();  // Text1 Change
  void FrameClicked();
  void LengthClicked();  // Label1 Click
  void SwitchView();
  // Chooses the station as the user would: shows its row (the first with this name and
  // address), then clicks it. False when the list holds no such row.
  bool ChooseStation(const StationRef& station);

  // A station the user chose (a row of tvm or dz1, Enter on its name) is about to play.
  Event<StationRef> stationChosen;

 private:
  void showAddCaption();
  void showRowIndex(int index);
  Context x_;
  PlaybackRequests& playback_;
};

}  // namespace zelvo
