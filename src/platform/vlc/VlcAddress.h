// What the VLC player makes of an address before libVLC sees it, and how it reads libVLC's
// log when a stream fails, since libVLC's own failure event carries no reason.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace zelvo::vlc {

struct ClassifiedAddress {
  enum class Kind { Invalid, Unsupported, LocalPath, Location };
  Kind kind = Kind::Invalid;
  std::string address;  // trimmed
  std::string scheme;   // lower case; empty for a local path
};

// rtspHandled: whether this libVLC build has an RTSP client (Debian's has none).
ClassifiedAddress classifyAddress(const std::string& address, bool rtspHandled = false);

// Whether the installed libVLC has the RTSP client plugin (live555) beside it.
bool engineHasRtspClient();

// The error code for a failure, from what libVLC logged while opening the stream.
int32_t errorCodeFromLog(const std::vector<std::string>& messages);

// Whether what libVLC logged says a server refused the request (HTTP 403).
bool refusedByServer(const std::vector<std::string>& messages);

// "MM:SS", minutes counted on past the hour ("75:00"), so that the text sorts like the length
// against the short-clip filter's two-digit thresholds; "" when the length is unknown.
std::string durationText(int64_t milliseconds);

}  // namespace zelvo::vlc
