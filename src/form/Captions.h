// The button captions that the handlers read back as state: which phase a button is in is told
// by what it shows. The window's design captions use them too.
#pragma once

namespace zelvo {

// Command14: pauses while it reads this, resumes while it reads kContinueCaption.
inline constexpr const char* kPauseCaption = "暂停";
inline constexpr const char* kContinueCaption = "继续";
// Command10 starts the station list scan.
inline constexpr const char* kScanCaption = "搜台";
// Command17 before a web search, and once one has started.
inline constexpr const char* kWebSearchCaption = "网上搜索";
inline constexpr const char* kWebSearchStartedCaption = "网上";

}  // namespace zelvo
