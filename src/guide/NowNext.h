// What runs on a channel at a moment, and what follows it, as a station that shifts the
// channel's times sees them.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "formats/Guide.h"

namespace zelvo {

struct NowNext {
  std::optional<Programme> now;   // running at the moment, if any
  std::optional<Programme> next;  // the first to start after the moment, if any
};

// programmes: sorted and not overlapping, as GuideChannel keeps them. shift: seconds added to
// every programme's times (a station's tvg-shift); the programmes given back carry it.
NowNext nowAndNext(const std::vector<Programme>& programmes, int64_t at, int64_t shift = 0);

// The programmes with shift seconds added to their times.
std::vector<Programme> shiftedProgrammes(std::vector<Programme> programmes, int64_t shift);

}  // namespace zelvo
