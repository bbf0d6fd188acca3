#include "formats/PlaylistEntries.h"

#include <algorithm>
#include <cctype>
#include <filesystem>

namespace zelvo {

namespace {

constexpr std::string_view kFullWidthComma = "，";
constexpr std::string_view kReplacementCharacter = "\xEF\xBF\xBD";
constexpr size_t kShownBytes = 120;

// The longest prefix of at most limit bytes that ends on a UTF-8 character boundary.
size_t utf8Boundary(std::string_view text, size_t limit) {
  if (text.size() <= limit) return text.size();
  size_t at = limit;
  while (at > 0 && (static_cast<unsigned char>(text[at]) & 0xC0) == 0x80) --at;
  return at;
}

std::string shown(std::string_view text) {
  const size_t cut = utf8Boundary(text, kShownBytes);
  std::string result(text.substr(0, cut));
  if (cut < text.size()) result += "…";
  return result;
}

bool isControl(char ch) {
  const auto byte = static_cast<unsigned char>(ch);
  return byte < 0x20 || byte == 0x7F;
}

bool hasScheme(std::string_view address) {
  size_t i = 0;
  while (i < address.size() && (std::isalnum(static_cast<unsigned char>(address[i])) ||
                                address[i] == '+' || address[i] == '-' || address[i] == '.'))
    ++i;
  // One letter before the colon is a drive letter, not a scheme.
  return i >= 2 && i < address.size() && address[i] == ':' &&
         std::isalpha(static_cast<unsigned char>(address[0]));
}

bool isAbsolutePath(std::string_view address) {
  if (address.starts_with('/') || address.starts_with("\\\\")) return true;
  return address.size() >= 3 && std::isalpha(static_cast<unsigned char>(address[0])) &&
         address[1] == ':' && (address[2] == '\\' || address[2] == '/');
}

// A relative entry names a file beside the playlist. Playlists made on Windows separate
// folders with backslashes.
std::string resolve(std::string_view address, const std::string& folder) {
  if (folder.empty() || hasScheme(address) || isAbsolutePath(address)) return std::string(address);
  std::string relative(address);
  for (char& ch : relative)
    if (ch == '\\') ch = '/';
  return (std::filesystem::path(folder) / relative).lexically_normal().string();
}

// A comma cannot stand in a station line. In a URL, %2C names the same resource; a local path
// becomes a file URL, where it does too.
std::string withoutComma(std::string address) {
  if (address.find(',') == std::string::npos) return address;
  if (address.starts_with('/') && !address.starts_with("//")) {
    std::string url = "file://";
    for (const char ch : address) url += ch == '/' ? std::string(1, ch) : percentEncode({&ch, 1});
    return url;
  }
  std::string url;
  for (const char ch : address) url += ch == ',' ? std::string("%2C") : std::string(1, ch);
  return url;
}

std::string headerReason(HeaderProblem::Kind kind) {
  switch (kind) {
    case HeaderProblem::Kind::ControlCharacter:
      return "its value holds a control character";
    case HeaderProblem::Kind::UnknownName:
      return "not a header a station may set";
    case HeaderProblem::Kind::TooLong:
      return "its value is longer than " + std::to_string(kMaxHeaderValueBytes) + " bytes";
    case HeaderProblem::Kind::BrokenJson:
      return "not a JSON object of strings";
  }
  return {};
}

// Tag values go into tab-separated side files: control characters, tabs among them, become
// spaces, and only then are blanks trimmed, so that no value ends in one or is only one.
std::string tagValue(std::string_view text) {
  std::string value(text);
  for (char& ch : value)
    if (isControl(ch)) ch = ' ';
  return std::string(trimBlanks(value));
}

}  // namespace

std::string_view trimBlanks(std::string_view text) {
  const size_t first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

std::vector<std::string> playlistGroups(std::string_view group) {
  std::vector<std::string> groups;
  while (true) {
    const size_t end = std::min(group.find(';'), group.size());
    const std::string one(trimBlanks(group.substr(0, end)));
    if (!one.empty() && std::find(groups.begin(), groups.end(), one) == groups.end())
      groups.push_back(one);
    if (end == group.size()) return groups;
    group.remove_prefix(end + 1);
  }
}

void EntryCollector::problem(PlaylistProblem::Kind kind, int line, std::string_view text) {
  out_.problems.push_back({kind, line, shown(text)});
}

// Control characters become spaces, a comma the full-width comma that a station line can hold.
std::string EntryCollector::stationName(std::string_view text, int line, bool report) {
  std::string name;
  name.reserve(std::min(text.size(), kMaxStationNameBytes + 8));
  for (char ch : trimBlanks(text)) {
    if (name.size() > kMaxStationNameBytes) break;
    if (ch == ',')
      name += kFullWidthComma;
    else
      name += isControl(ch) ? ' ' : ch;
  }
  name = std::string(trimBlanks(name));
  if (name.size() > kMaxStationNameBytes) {
    if (report) problem(PlaylistProblem::Kind::NameCut, line, name);
    name.resize(utf8Boundary(name, kMaxStationNameBytes));
    name = std::string(trimBlanks(name));
  }
  return name;
}

void EntryCollector::add(std::string_view title, std::string_view secondName,
                         std::string_view group, std::string_view address, int line,
                         GuideTags guide, RequestHeaders headers) {
  address = trimBlanks(address);
  if (address.empty()) return titleWithoutAddress(title, line);
  if (address.size() > kMaxStationAddressBytes)
    return problem(PlaylistProblem::Kind::AddressTooLong, line, address);
  for (char ch : address) {
    if (isControl(ch)) return problem(PlaylistProblem::Kind::NotAnAddress, line, address);
  }
  if (address.find(kReplacementCharacter) != std::string_view::npos)
    return problem(PlaylistProblem::Kind::NotAnAddress, line, address);

  std::vector<HeaderProblem> bad;
  StationAddress station = splitStationAddress(address, &bad);
  for (const HeaderProblem& p : bad) headerLeftOut(p, line);
  overlayHeaders(headers, station.headers);
  // The folder of the playlist may hold a comma as well.
  std::string url = withoutComma(resolve(station.url, folder_));

  PlaylistEntry entry;
  entry.address = headers.empty() ? url : joinStationAddress(url, headers);
  if (entry.address.size() > kMaxStationAddressBytes)
    return problem(PlaylistProblem::Kind::AddressTooLong, line, entry.address);
  entry.name = stationName(title, line, true);
  if (entry.name.empty()) entry.name = stationName(secondName, line, true);
  if (entry.name.empty()) entry.name = stationName(url, line, true);
  entry.group = stationName(group, line, false);
  for (std::string* value :
       {&guide.tvgId, &guide.tvgName, &guide.tvgLogo, &guide.catchup, &guide.catchupSource})
    *value = tagValue(*value);
  entry.guide = std::move(guide);
  out_.entries.push_back(std::move(entry));
}

void EntryCollector::guideAddress(std::string_view address) {
  std::string value = tagValue(address);
  if (value.empty()) return;
  auto& known = out_.guideAddresses;
  if (std::find(known.begin(), known.end(), value) == known.end()) known.push_back(value);
}

void EntryCollector::headerLeftOut(const HeaderProblem& p, int line) {
  std::string name = p.name;
  for (char& ch : name)
    if (isControl(ch)) ch = ' ';
  problem(PlaylistProblem::Kind::HeaderLeftOut, line, name + ": " + headerReason(p.kind));
}

void EntryCollector::titleWithoutAddress(std::string_view title, int line) {
  problem(PlaylistProblem::Kind::NoAddress, line, trimBlanks(title));
}

bool skipsEntry(const PlaylistProblem& p) {
  return p.kind != PlaylistProblem::Kind::NameCut && p.kind != PlaylistProblem::Kind::HeaderLeftOut;
}

std::string describe(const PlaylistProblem& p) {
  const std::string where = "line " + std::to_string(p.line) + ": ";
  switch (p.kind) {
    case PlaylistProblem::Kind::NotAnAddress:
      return where + "skipped, not an address (control characters or undecodable bytes): " + p.text;
    case PlaylistProblem::Kind::AddressTooLong:
      return where + "skipped, an address longer than " + std::to_string(kMaxStationAddressBytes) +
             " bytes: " + p.text;
    case PlaylistProblem::Kind::NoAddress:
      return where + "skipped, a title without an address: " + p.text;
    case PlaylistProblem::Kind::NameCut:
      return where + "name cut to " + std::to_string(kMaxStationNameBytes) + " bytes: " + p.text;
    case PlaylistProblem::Kind::HeaderLeftOut:
      return where + "kept without the request header " + p.text;
  }
  return where + p.text;
}

}  // namespace zelvo
