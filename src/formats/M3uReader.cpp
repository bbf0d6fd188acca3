// M3U and M3U8 playlists: one address a line, each after an optional #EXTINF line that gives
// its title and attributes, any #EXTVLCOPT and #EXTHTTP lines that give its request headers
// and any #EXTGRP line that gives its group; other lines starting with "#" are comments.
#include <algorithm>
#include <optional>
#include <string>

#include "formats/FlatJson.h"
#include "formats/GuideShift.h"
#include "formats/PlaylistFormats.h"
#include "formats/TextCase.h"

namespace zelvo {

namespace {

struct Info {
  std::string_view title;
  std::string_view group;
  GuideTags guide;
  RequestHeaders headers;
  int line = 0;
};

void setHeader(RequestHeaders& headers, std::string_view name, std::string_view value, int line,
               EntryCollector& entries) {
  std::vector<HeaderProblem> problems;
  setRequestHeader(headers, name, value, &problems);
  for (const HeaderProblem& problem : problems) entries.headerLeftOut(problem, line);
}

// The request headers of an #EXTINF line: http-user-agent="…" http-referrer="…", and the
// shorter user-agent and referrer that some lists write.
void readHeaderAttribute(const std::string& key, std::string_view value, Info& info,
                         EntryCollector& entries) {
  if (key == "http-user-agent" || key == "user-agent")
    setHeader(info.headers, "User-Agent", value, info.line, entries);
  if (key == "http-referrer" || key == "referrer" || key == "http-referer")
    setHeader(info.headers, "Referer", value, info.line, entries);
}

// #EXTVLCOPT:http-user-agent=…, http-referrer=… and http-origin=… before an address; VLC's other
// options are not this program's to keep.
void readVlcOption(std::string_view option, int line, RequestHeaders& headers,
                   EntryCollector& entries) {
  const size_t equals = option.find('=');
  if (equals == std::string_view::npos) return;
  const std::string name = toLowerAscii(std::string(trimBlanks(option.substr(0, equals))));
  const std::string_view value = option.substr(equals + 1);
  if (name == "http-user-agent") setHeader(headers, "User-Agent", value, line, entries);
  if (name == "http-referrer" || name == "http-referer")
    setHeader(headers, "Referer", value, line, entries);
  if (name == "http-origin") setHeader(headers, "Origin", value, line, entries);
}

// #EXTHTTP:{"User-Agent": "…", "Referer": "…", "Cookie": "…"}; broken JSON gives no header.
void readHttpHeaders(std::string_view json, int line, RequestHeaders& headers,
                     EntryCollector& entries) {
  const auto members = readFlatJsonObject(json);
  if (!members) {
    entries.headerLeftOut({HeaderProblem::Kind::BrokenJson, "#EXTHTTP"}, line);
    return;
  }
  for (const auto& [name, value] : *members) setHeader(headers, name, value, line, entries);
}

// An #EXTVLCOPT or #EXTHTTP line adds to the headers of the next address.
bool readHeaderLine(std::string_view line, int number, RequestHeaders& headers,
                    EntryCollector& entries) {
  if (startsWithIgnoringCase(line, "#extvlcopt:")) {
    readVlcOption(line.substr(11), number, headers, entries);
    return true;
  }
  if (startsWithIgnoringCase(line, "#exthttp:")) {
    readHttpHeaders(line.substr(9), number, headers, entries);
    return true;
  }
  return false;
}

// The days a provider keeps past programmes; what is no whole number in reach says nothing.
int catchupDays(std::string_view text) {
  constexpr int kMostDays = 3650;
  int days = 0;
  for (const char ch : trimBlanks(text)) {
    if (ch < '0' || ch > '9') return 0;
    days = days * 10 + (ch - '0');
    if (days > kMostDays) return kMostDays;
  }
  return days;
}

// Calls attribute(key in lower case, value) for each key="value" of an #EXTM3U or #EXTINF line
// after its colon, up to the first comma outside quotes; returns what follows that comma.
template <class Attribute>
std::string_view readAttributes(std::string_view rest, Attribute&& attribute) {
  size_t i = 0;
  while (i < rest.size()) {
    if (rest[i] == ',') return rest.substr(i + 1);
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
    attribute(key, value);
  }
  return {};
}

// Shifts in hours; one that cannot be read leaves the value as it was.
void readShift(std::string_view value, int& seconds) {
  if (const std::optional<int> read = parseShiftHours(value)) seconds = *read;
}

// #EXTINF:duration key="value" ...,title. The attributes come first, and a quoted value may
// hold commas; the title is everything after the first comma outside quotes. defaults: what
// #EXTM3U gave for every entry.
Info readInfo(std::string_view line, int number, const GuideTags& defaults,
              EntryCollector& entries) {
  Info info;
  info.line = number;
  info.guide.tvgShift = defaults.tvgShift;
  info.guide.catchupCorrection = defaults.catchupCorrection;
  info.title = readAttributes(line.substr(line.find(':') + 1),
                              [&](const std::string& key, std::string_view value) {
                                if (key == "tvg-name") info.guide.tvgName = value;
                                if (key == "tvg-id") info.guide.tvgId = value;
                                if (key == "tvg-logo") info.guide.tvgLogo = value;
                                if (key == "catchup") info.guide.catchup = value;
                                if (key == "catchup-source") info.guide.catchupSource = value;
                                if (key == "catchup-days")
                                  info.guide.catchupDays = catchupDays(value);
                                if (key == "tvg-shift") readShift(value, info.guide.tvgShift);
                                if (key == "catchup-correction")
                                  readShift(value, info.guide.catchupCorrection);
                                if (key == "group-title") info.group = value;
                                readHeaderAttribute(key, value, info, entries);
                              });
  return info;
}

// #EXTM3U x-tvg-url="a,b" url-tvg="c": the guides for the playlist's channels; tvg-shift and
// catchup-correction: the entries' defaults, up to the next #EXTM3U.
void readHeader(std::string_view line, EntryCollector& entries, GuideTags& defaults) {
  defaults = {};
  const size_t colon = line.find_first_of(": \t");
  if (colon == std::string_view::npos) return;
  readAttributes(line.substr(colon + 1), [&](const std::string& key, std::string_view value) {
    if (key == "tvg-shift") readShift(value, defaults.tvgShift);
    if (key == "catchup-correction") readShift(value, defaults.catchupCorrection);
    if (key != "x-tvg-url" && key != "url-tvg") return;
    while (!value.empty()) {
      const size_t comma = std::min(value.find(','), value.size());
      entries.guideAddress(value.substr(0, comma));
      value.remove_prefix(std::min(comma + 1, value.size()));
    }
  });
}

}  // namespace

void readM3u(std::string_view text, EntryCollector& entries) {
  std::optional<Info> pending;
  GuideTags defaults;
  RequestHeaders options;  // from the #EXTVLCOPT and #EXTHTTP lines since the last address
  std::string groups;      // from the #EXTGRP lines since the last address, ";" between them
  forEachLine(text, [&](std::string_view line, int number) {
    line = trimBlanks(line);
    if (line.empty()) return;
    if (line.starts_with('#')) {
      if (startsWithIgnoringCase(line, "#extm3u")) readHeader(line, entries, defaults);
      if (readHeaderLine(line, number, options, entries)) return;
      if (startsWithIgnoringCase(line, "#extgrp:")) {
        const std::string_view group = trimBlanks(line.substr(8));
        if (!group.empty()) groups += (groups.empty() ? "" : ";") + std::string(group);
        return;
      }
      if (!startsWithIgnoringCase(line, "#extinf:")) return;
      if (pending) {
        entries.titleWithoutAddress(pending->title, pending->line);
        options = {};
      }
      pending = readInfo(line, number, defaults, entries);
      return;
    }
    RequestHeaders headers = pending ? pending->headers : RequestHeaders{};
    overlayHeaders(headers, options);
    if (pending && !pending->group.empty())
      groups = std::string(pending->group) + (groups.empty() ? "" : ";") + groups;
    if (pending)
      entries.add(pending->title, pending->guide.tvgName, groups, line, number, pending->guide,
                  std::move(headers));
    else
      entries.add({}, {}, groups, line, number, {}, std::move(headers));
    pending.reset();
    options = {};
    groups.clear();
  });
  if (pending) entries.titleWithoutAddress(pending->title, pending->line);
}

}  // namespace zelvo
