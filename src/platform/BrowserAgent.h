// The user agent of a common desktop browser: what a player asks with once more when a server
// refused its engine's own agent (many stations admit browsers only).
#pragma once

namespace zelvo {

inline constexpr const char* kDesktopBrowserAgent =
    "Mozilla/5.0 (X11; Linux x86_64) AppleWebKit/537.36 (KHTML, like Gecko) "
    "Chrome/120.0.0.0 Safari/537.36";

}  // namespace zelvo
