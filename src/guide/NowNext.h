// What runs on a channel at a moment, and what follows it.
#pragma once

#include <cstdint>
#include <vector>

#include "formats/Guide.h"

namespace zelvo {

struct NowNext {
  const Programme* now = nullptr;   // running at the moment, if any
  const Programme* next = nullptr;  // the first to start after the moment, if any
};

// programmes: sorted and not overlapping, as GuideChannel keeps them.
NowNext nowAndNext(const std::vector<Programme>& programmes, int64_t at);

}  // namespace zelvo
