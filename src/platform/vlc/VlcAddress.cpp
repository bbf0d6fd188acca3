// Address checks and failure reasons for the VLC player. The schemes listed are those the
// access modules of Debian's libVLC 3 build open; RTSP is missing there (no live555).
#include "platform/vlc/VlcAddress.h"

#include <dlfcn.h>
#include <vlc/vlc.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string_view>

#include "platform/WindowsMediaPlayer.h"

namespace zelvo::vlc {

namespace {

constexpr std::array<std::string_view, 20> kHandledSchemes = {
    "http", "https", "mms", "mmsh", "mmst", "mmsu", "file",  "udp",   "rtp",   "ftp",
    "ftps", "sftp",  "nfs", "rist", "icyx", "rtmp", "rtmps", "rtmpe", "rtmpt", "rtmpte",
};

std::string trimmed(const std::string& text) {
  const auto isSpace = [](unsigned char c) { return std::isspace(c) != 0; };
  auto first = std::find_if_not(text.begin(), text.end(), isSpace);
  auto last = std::find_if_not(text.rbegin(), text.rend(), isSpace).base();
  return first < last ? std::string(first, last) : std::string();
}

bool containsAny(const std::string& text, std::initializer_list<std::string_view> needles) {
  return std::any_of(needles.begin(), needles.end(), [&](std::string_view needle) {
    return text.find(needle) != std::string::npos;
  });
}

}  // namespace

ClassifiedAddress classifyAddress(const std::string& address, bool rtspHandled) {
  ClassifiedAddress result;
  result.address = trimmed(address);
  const std::string& text = result.address;
  if (text.empty()) return result;
  if (std::any_of(text.begin(), text.end(),
                  [](unsigned char c) { return c < 0x20 || c == 0x7f; })) {
    return result;
  }
  if (text.front() == '/') {
    result.kind = ClassifiedAddress::Kind::LocalPath;
    return result;
  }
  const size_t separator = text.find("://");
  if (separator == std::string::npos || separator == 0 || separator + 3 == text.size())
    return result;
  std::string scheme = text.substr(0, separator);
  const bool schemeShaped = std::isalpha(static_cast<unsigned char>(scheme.front())) &&
                            std::all_of(scheme.begin(), scheme.end(), [](unsigned char c) {
                              return std::isalnum(c) || c == '+' || c == '-' || c == '.';
                            });
  if (!schemeShaped) return result;
  std::transform(scheme.begin(), scheme.end(), scheme.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  result.scheme = scheme;
  const bool handled =
      std::find(kHandledSchemes.begin(), kHandledSchemes.end(), scheme) != kHandledSchemes.end() ||
      (rtspHandled && scheme == "rtsp");
  result.kind = handled ? ClassifiedAddress::Kind::Location : ClassifiedAddress::Kind::Unsupported;
  return result;
}

bool engineHasRtspClient() {
  namespace fs = std::filesystem;
  std::vector<fs::path> pluginFolders;
  if (const char* configured = std::getenv("VLC_PLUGIN_PATH"))
    pluginFolders.emplace_back(configured);
  Dl_info library{};
  if (dladdr(reinterpret_cast<void*>(&libvlc_new), &library) && library.dli_fname) {
    pluginFolders.push_back(fs::path(library.dli_fname).parent_path() / "vlc" / "plugins");
  }
  std::error_code ignored;
  for (const auto& folder : pluginFolders) {
    if (fs::exists(folder / "demux" / "liblive555_plugin.so", ignored)) return true;
  }
  return false;
}

int32_t errorCodeFromLog(const std::vector<std::string>& messages) {
  bool connected = false;
  for (const auto& message : messages) {
    if (containsAny(message, {"HTTP 404", "answer code 404", " 404 Not Found", "HTTP 410",
                              "answer code 410"})) {
      return WmpError::FileNotFound;
    }
    if (containsAny(message, {"No such file or directory", "cannot open file"})) {
      return WmpError::FileNotFound;
    }
  }
  for (const auto& message : messages) {
    if (containsAny(message, {"Connection refused", "cannot resolve", "No route to host",
                              "Network is unreachable", "Connection timed out", "could not connect",
                              "cannot connect"})) {
      return WmpError::ServerNotFound;
    }
    if (containsAny(message, {"connection succeeded"})) connected = true;
  }
  if (!connected) {
    for (const auto& message : messages) {
      // libVLC found no access module for the address at all.
      if (containsAny(message, {"no access_demux modules matched", "no access modules matched"})) {
        return WmpError::UnsupportedProtocol;
      }
    }
  }
  return WmpError::Generic;
}

bool refusedByServer(const std::vector<std::string>& messages) {
  return std::any_of(messages.begin(), messages.end(), [](const std::string& message) {
    return containsAny(message, {"HTTP 403", "answer code 403", " 403 Forbidden"});
  });
}

std::string durationText(int64_t milliseconds) {
  if (milliseconds <= 0) return {};
  const int64_t total = (milliseconds + 500) / 1000;
  char text[32];
  std::snprintf(text, sizeof text, "%02lld:%02lld", static_cast<long long>(total / 60),
                static_cast<long long>(total % 60));
  return text;
}

}  // namespace zelvo::vlc
