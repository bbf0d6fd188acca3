// Writing stations as an extended M3U playlist in UTF-8 with LF line ends, the form that
// other players open as it is and that readPlaylist() reads back as the same stations.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "formats/Playlist.h"

namespace zelvo {

// Whether an address can stand on a line of its own in an M3U playlist: not empty, no line
// end, and no "#" at its start, which would make it a comment.
bool fitsM3uLine(std::string_view address);

// #EXTM3U, then for each entry #EXTINF:-1 tvg-name="name" [group-title="group"]
// [http-user-agent="…" http-referrer="…"],name, its request headers as #EXTVLCOPT (and #EXTHTTP)
// lines, and its bare address. An entry whose address does not fit a line is left out.
std::string writeExtendedM3u(const std::vector<PlaylistEntry>& entries);

}  // namespace zelvo
