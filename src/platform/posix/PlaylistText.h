// A playlist file's bytes as UTF-8 text: UTF-8 when they are valid UTF-8 (a byte-order mark
// dropped), GBK otherwise, as playlists saved on Chinese Windows are.
#pragma once

#include <string>
#include <string_view>

namespace zelvo {

// A larger file is refused rather than read whole.
inline constexpr size_t kMaxPlaylistBytes = 256u << 20;

// A UTF-8 character cut off at the very end, as in a file cut short, does not make the rest
// GBK: it is dropped.
std::string decodePlaylistBytes(std::string_view bytes);

// Reads a regular file whole and decodes it. Fails (PlatformFailure, with a reason a user can
// read) when it is missing, not a regular file, unreadable or larger than kMaxPlaylistBytes.
std::string readPlaylistText(const std::string& path);

}  // namespace zelvo
