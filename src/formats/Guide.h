// What a programme guide says of its channels, as the guide reader hands it over and the guide
// keeps it: each matched channel with its programmes, sorted by start. Times are UTC seconds.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace zelvo {

struct Programme {
  int64_t start = 0;  // UTC seconds
  int64_t stop = 0;   // UTC seconds; after start
  std::string title;
  std::string description;
};

struct GuideChannel {
  std::string id;                         // the guide's channel id
  std::vector<std::string> displayNames;  // as the guide gives them
  std::string icon;                       // the logo's address, if any
  // Sorted by start, none overlapping: where a guide overlaps, the earlier programme ends
  // where the next begins.
  std::vector<Programme> programmes;
};

// What a playlist said of one station beside its name and address: how to find it in a guide
// and how to play its past programmes. Empty where the playlist said nothing.
struct GuideTags {
  std::string tvgId;
  std::string tvgName;
  std::string tvgLogo;
  std::string catchup;        // the mode: default, append, shift, flussonic, xc
  std::string catchupSource;  // a template with placeholders such as {utc}
  int catchupDays = 0;
  // Seconds added to the times of the station's guide programmes (tvg-shift), and to the
  // programme times that its catch-up addresses hold (catchup-correction), after the shift.
  int tvgShift = 0;
  int catchupCorrection = 0;

  bool empty() const {
    return tvgId.empty() && tvgName.empty() && tvgLogo.empty() && catchup.empty() &&
           catchupSource.empty() && catchupDays == 0 && tvgShift == 0 && catchupCorrection == 0;
  }
};

// A channel or station name as names are compared: letter case ignored (ASCII), blanks off both
// ends, and each run of blanks inside as one space.
std::string normalizeGuideName(std::string_view name);

}  // namespace zelvo
