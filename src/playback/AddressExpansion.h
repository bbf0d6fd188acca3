// Turns the address in dz1 into the address to play: a counter template yields its next
// number, a list address the next row of the station list; the advanced template is kept.
#pragma once

#include <string>

#include "form/Services.h"

namespace zelvo {

// Whether the address text is a list address: "list" at its start, in any letter case.
bool isListAddress(const std::string& text);

class StationFiles;
class PositionFiles;
class Playback;

class AddressExpansion {
 public:
  AddressExpansion(Context context, StationFiles& files, PositionFiles& positions,
                   Playback& playback)
      : x_(context), files_(files), positions_(positions), playback_(playback) {}

  // The second argument is unused by every caller and kept empty.
  std::string ExpandAddress(std::string address, const std::string& unused = {});
  // How many list runs an expansion has ended: a caller that compares it before and after an
  // expansion knows whether there is anything left to play.
  unsigned listRunsEnded() const { return listRunsEnded_; }

 private:
  void finishListRun();
  Context x_;
  StationFiles& files_;
  PositionFiles& positions_;
  Playback& playback_;
  unsigned listRunsEnded_ = 0;
};

}  // namespace zelvo
