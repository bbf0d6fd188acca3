// A clip's length as the window shows it: hours, minutes and seconds joined by ":".
#pragma once

#include <cstdint>
#include <string>

namespace zelvo {

// Whole seconds (a half second goes to the even one), no leading zeros: 3,725,000 ms is "1:2:5".
// A negative length shows as "0:0:0".
std::string FormatDuration(int32_t milliseconds);

}  // namespace zelvo
