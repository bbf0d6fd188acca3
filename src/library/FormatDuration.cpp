#include "library/FormatDuration.h"

#include <algorithm>
#include <cmath>

namespace zelvo {

std::string FormatDuration(int32_t milliseconds) {
  const long long seconds = std::max(0LL, std::llrint(milliseconds / 1000.0));
  const long long hours = seconds / 3600;
  const long long minutes = (seconds - 3600 * hours) / 60;
  const long long rest = seconds - 3600 * hours - 60 * minutes;
  return std::to_string(hours) + ":" + std::to_string(minutes) + ":" + std::to_string(rest);
}

}  // namespace zelvo
