#include "formats/PlaylistWriter.h"

namespace zelvo {

namespace {

// A title runs to the line's end after the last comma, so it may hold neither.
void appendTitle(std::string& out, std::string_view name) {
  for (char ch : name) {
    if (ch == ',')
      out += "，";
    else
      out += ch == '\r' || ch == '\n' ? ' ' : ch;
  }
}

// An attribute value ends at the next double quote, and some players end the attributes at
// the first comma.
void appendAttribute(std::string& out, std::string_view key, std::string_view value) {
  out += ' ';
  out += key;
  out += "=\"";
  for (char ch : value) {
    if (ch == '"')
      out += '\'';
    else if (ch == ',')
      out += "，";
    else
      out += ch == '\r' || ch == '\n' ? ' ' : ch;
  }
  out += '"';
}

}  // namespace

bool fitsM3uLine(std::string_view address) {
  return !address.empty() && !address.starts_with('#') &&
         address.find_first_of("\r\n") == std::string_view::npos;
}

std::string writeExtendedM3u(const std::vector<PlaylistEntry>& entries) {
  std::string out = "#EXTM3U\n";
  for (const PlaylistEntry& entry : entries) {
    if (!fitsM3uLine(entry.address)) continue;
    out += "#EXTINF:-1";
    appendAttribute(out, "tvg-name", entry.name);
    if (!entry.group.empty()) appendAttribute(out, "group-title", entry.group);
    out += ',';
    appendTitle(out, entry.name);
    out += '\n';
    out += entry.address;
    out += '\n';
  }
  return out;
}

}  // namespace zelvo
