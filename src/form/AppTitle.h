// The application's title and version: the window caption and the title of its message boxes.
#pragma once

#include "form/Version.h"

namespace zelvo {

inline constexpr const char* kAppTitle = "Zelvo";

}  // namespace zelvo
