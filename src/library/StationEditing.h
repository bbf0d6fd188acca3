// Adding the current station to the library ("增加") and removing the current row from the
// station list ("删除").
#pragma once

#include "form/PlaybackRequests.h"
#include "form/Services.h"

namespace zelvo {

class StationFiles;

class StationEditing {
 public:
  StationEditing(Context context, StationFiles& files, PlaybackRequests& playback)
      : x_(context), files_(files), playback_(playback) {}

  void connect();
  // Stores the current station, appends the library once more and selects the station there.
  void AddClicked();  // Command3
  // Removes the first row named like the current station; the library keeps it.
  void RemoveClicked();  // Command12

 private:
  Context x_;
  StationFiles& files_;
  PlaybackRequests& playback_;
};

}  // namespace zelvo
