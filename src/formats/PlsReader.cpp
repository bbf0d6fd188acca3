// PLS playlists: the [playlist] section's FileN and TitleN keys, taken in the order of N.
// NumberOfEntries is not trusted: playlists often carry a wrong one.
#include <charconv>
#include <cstdint>
#include <map>
#include <optional>
#include <string>

#include "formats/PlaylistFormats.h"
#include "formats/TextCase.h"

namespace zelvo {

namespace {

struct Numbered {
  std::string_view file;
  std::string_view title;
  int fileLine = 0;
  int titleLine = 0;
};

// "file12" with prefix "file" gives 12; anything else gives nothing.
std::optional<uint64_t> numberAfter(std::string_view key, std::string_view prefix) {
  if (!key.starts_with(prefix) || key.size() == prefix.size()) return std::nullopt;
  uint64_t number = 0;
  const char* begin = key.data() + prefix.size();
  const char* end = key.data() + key.size();
  auto [stop, error] = std::from_chars(begin, end, number);
  if (error != std::errc() || stop != end) return std::nullopt;
  return number;
}

}  // namespace

void readPls(std::string_view text, EntryCollector& entries) {
  std::map<uint64_t, Numbered> numbered;
  bool inPlaylist = false;
  forEachLine(text, [&](std::string_view line, int number) {
    line = trimBlanks(line);
    if (line.empty() || line.starts_with(';') || line.starts_with('#')) return;
    if (line.starts_with('[')) {
      inPlaylist = startsWithIgnoringCase(line, "[playlist]");
      return;
    }
    const size_t equals = line.find('=');
    if (!inPlaylist || equals == std::string_view::npos) return;
    const std::string key = toLowerAscii(std::string(trimBlanks(line.substr(0, equals))));
    const std::string_view value = trimBlanks(line.substr(equals + 1));
    if (auto n = numberAfter(key, "file")) {
      numbered[*n].file = value;
      numbered[*n].fileLine = number;
    } else if (auto t = numberAfter(key, "title")) {
      numbered[*t].title = value;
      numbered[*t].titleLine = number;
    }
  });
  for (const auto& [n, entry] : numbered) {
    if (entry.fileLine == 0)
      entries.titleWithoutAddress(entry.title, entry.titleLine);
    else
      entries.add(entry.title, {}, {}, entry.file, entry.fileLine);
  }
}

}  // namespace zelvo
