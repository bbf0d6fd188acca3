#include "formats/PlaylistWriter.h"

#include "formats/FlatJson.h"
#include "formats/StationAddress.h"

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

bool blankAtAnEnd(std::string_view value) {
  return !value.empty() && (value.front() == ' ' || value.front() == '\t' || value.back() == ' ' ||
                            value.back() == '\t');
}

// The attributes that other players read; a value they would cut or change is left to the
// #EXTVLCOPT line, which holds it exactly.
void appendHeaderAttribute(std::string& out, std::string_view key, std::string_view value) {
  if (value.empty() || value.find_first_of(",\"") != std::string_view::npos) return;
  appendAttribute(out, key, value);
}

// #EXTVLCOPT lines for what VLC knows; #EXTHTTP for the cookie, which it does not, and for a
// value with blanks at its ends, which a reader trims from an option line.
void appendHeaderLines(std::string& out, const RequestHeaders& headers) {
  const auto option = [&](const char* name, const std::string& value) {
    if (value.empty()) return;
    out += "#EXTVLCOPT:";
    out += name;
    out += '=';
    out += value;
    out += '\n';
  };
  option("http-user-agent", headers.userAgent);
  option("http-referrer", headers.referrer);
  option("http-origin", headers.origin);

  std::string json;
  const auto member = [&](const char* name, const std::string& value, bool needed) {
    if (value.empty() || !needed) return;
    json += json.empty() ? "{" : ", ";
    json += jsonString(name) + ": " + jsonString(value);
  };
  member("User-Agent", headers.userAgent, blankAtAnEnd(headers.userAgent));
  member("Referer", headers.referrer, blankAtAnEnd(headers.referrer));
  member("Origin", headers.origin, blankAtAnEnd(headers.origin));
  member("Cookie", headers.cookie, true);
  if (!json.empty()) out += "#EXTHTTP:" + json + "}\n";
}

}  // namespace

bool fitsM3uLine(std::string_view address) {
  return !address.empty() && !address.starts_with('#') &&
         address.find_first_of("\r\n") == std::string_view::npos;
}

std::string writeExtendedM3u(const std::vector<PlaylistEntry>& entries) {
  std::string out = "#EXTM3U\n";
  for (const PlaylistEntry& entry : entries) {
    const StationAddress address = splitStationAddress(entry.address);
    if (!fitsM3uLine(address.url)) continue;
    out += "#EXTINF:-1";
    appendAttribute(out, "tvg-name", entry.name);
    if (!entry.group.empty()) appendAttribute(out, "group-title", entry.group);
    appendHeaderAttribute(out, "http-user-agent", address.headers.userAgent);
    appendHeaderAttribute(out, "http-referrer", address.headers.referrer);
    out += ',';
    appendTitle(out, entry.name);
    out += '\n';
    appendHeaderLines(out, address.headers);
    out += address.url;
    out += '\n';
  }
  return out;
}

}  // namespace zelvo
