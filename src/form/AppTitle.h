// The application's title and version: the window caption and the title of its message boxes.
#pragma once

namespace zelvo {

inline constexpr const char* kAppTitle = "Zelvo";
inline constexpr const char* kAppVersion = "3.5";

}  // namespace zelvo
