// M3U and M3U8 playlists: one address a line, each after an optional #EXTINF line that gives
// its title and attributes; other lines starting with "#" are comments.
#include <algorithm>
#include <optional>
#include <string>

#include "formats/PlaylistFormats.h"
#include "formats/TextCase.h"

namespace zelvo {

namespace {

struct Info {
  std::string_view title;
  std::string_view tvgName;
  std::string_view group;
  int line = 0;
};

// #EXTINF:duration key="value" ...,title. The attributes come first, and a quoted value may
// hold commas; the title is everything after the first comma outside quotes.
Info readInfo(std::string_view line, int number) {
  const std::string_view rest = line.substr(line.find(':') + 1);
  Info info;
  info.line = number;
  size_t i = 0;
  while (i < rest.size()) {
    if (rest[i] == ',') {
      info.title = rest.substr(i + 1);
      break;
    }
    const size_t keyStart = i;
    while (i < rest.size() && rest[i] != '=' && rest[i] != ' ' && rest[i] != '\t' && rest[i] != ',')
      ++i;
    if (i >= rest.size() || rest[i] != '=') {
      if (i < rest.size() && rest[i] != ',') ++i;  // a word without a value, such as the duration
      continue;
    }
    const std::string key = toLowerAscii(std::string(rest.substr(keyStart, i - keyStart)));
    ++i;
    std::string_view value;
    if (i < rest.size() && (rest[i] == '"' || rest[i] == '\'')) {
      const size_t close = rest.find(rest[i], i + 1);
      const size_t end = close == std::string_view::npos ? rest.size() : close;
      value = rest.substr(i + 1, end - i - 1);
      i = std::min(end + 1, rest.size());
    } else {
      const size_t end = std::min(rest.find_first_of(" \t,", i), rest.size());
      value = rest.substr(i, end - i);
      i = end;
    }
    if (key == "tvg-name") info.tvgName = value;
    if (key == "group-title") info.group = value;
  }
  return info;
}

}  // namespace

void readM3u(std::string_view text, EntryCollector& entries) {
  std::optional<Info> pending;
  forEachLine(text, [&](std::string_view line, int number) {
    line = trimBlanks(line);
    if (line.empty()) return;
    if (line.starts_with('#')) {
      if (!startsWithIgnoringCase(line, "#extinf:")) return;
      if (pending) entries.titleWithoutAddress(pending->title, pending->line);
      pending = readInfo(line, number);
      return;
    }
    if (pending)
      entries.add(pending->title, pending->tvgName, pending->group, line, number);
    else
      entries.add({}, {}, {}, line, number);
    pending.reset();
  });
  if (pending) entries.titleWithoutAddress(pending->title, pending->line);
}

}  // namespace zelvo
