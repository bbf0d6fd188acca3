#include "formats/PlaylistReader.h"

#include <algorithm>

#include "formats/PlaylistFormats.h"
#include "formats/TextCase.h"

namespace zelvo {

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

enum class Format { M3u, Pls, Asx };

// An ASX playlist is XML; a PLS playlist opens with its [playlist] section; everything else is
// read as M3U, whose header is optional.
Format formatOf(std::string_view text) {
  const std::string_view start =
      text.substr(std::min(text.find_first_not_of(" \t\r\n"), text.size()));
  if (start.starts_with('<')) return Format::Asx;
  const std::string_view firstLine = start.substr(0, start.find_first_of("\r\n"));
  if (startsWithIgnoringCase(trimBlanks(firstLine), "[playlist]")) return Format::Pls;
  return Format::M3u;
}

}  // namespace

Playlist readPlaylist(std::string_view text, const std::string& folder) {
  if (text.starts_with(kByteOrderMark)) text.remove_prefix(kByteOrderMark.size());
  Playlist playlist;
  EntryCollector entries(playlist, folder);
  switch (formatOf(text)) {
    case Format::M3u:
      readM3u(text, entries);
      break;
    case Format::Pls:
      readPls(text, entries);
      break;
    case Format::Asx:
      readAsx(text, entries);
      break;
  }
  return playlist;
}

}  // namespace zelvo
