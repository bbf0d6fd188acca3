// Reading a playlist: M3U and M3U8 (plain or extended), PLS and ASX, told apart by their
// content. The text is UTF-8; decoding the file's bytes is the caller's part.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "formats/Playlist.h"

namespace zelvo {

// folder: the playlist's folder, against which relative entries are resolved. Any text gives
// a result: what cannot be read as a station is skipped and described in problems.
Playlist readPlaylist(std::string_view text, const std::string& folder);

// The href of the first <ref> of an ASX document that names one, entities decoded, as the
// document gives it: for a player that opens the playlist's first stream itself.
std::optional<std::string> firstAsxReference(std::string_view text);

}  // namespace zelvo
