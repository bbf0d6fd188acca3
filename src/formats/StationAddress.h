// A station's address with the request headers its server wants, kept in the address itself:
// URL|User-Agent=…&Referer=…&Origin=…&Cookie=…, each value percent-encoded, so that no comma or
// control character reaches a station line and an address without headers stays as it was.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace zelvo {

// A longer header value is refused: no server needs one, and it would fill a station line.
inline constexpr size_t kMaxHeaderValueBytes = 4096;

struct RequestHeaders {
  std::string userAgent;
  std::string referrer;
  std::string origin;
  std::string cookie;

  bool empty() const {
    return userAgent.empty() && referrer.empty() && origin.empty() && cookie.empty();
  }
  bool operator==(const RequestHeaders&) const = default;
};

// Why a header that a playlist or an address gave was left out.
struct HeaderProblem {
  enum class Kind {
    ControlCharacter,  // CR, LF or another control character in the value
    UnknownName,       // a name other than User-Agent, Referer, Origin and Cookie
    TooLong,           // a value over kMaxHeaderValueBytes
    BrokenJson,        // an #EXTHTTP line that is no JSON object of strings
  };
  Kind kind;
  std::string name;  // the header's name as given
};

struct StationAddress {
  std::string url;  // the address the player opens, without the "|" suffix
  RequestHeaders headers;
};

// The address up to its first "|": what counter templates, address kinds and players look at.
std::string_view addressUrl(std::string_view address);
// The "|" and what follows it, or nothing.
std::string_view addressSuffix(std::string_view address);

// Reads the headers of the "|" suffix; names in any letter case, "Referrer" as "Referer".
// A header that is unknown, too long or holds a control character once decoded is left out and
// reported in problems, when given.
StationAddress splitStationAddress(std::string_view address,
                                   std::vector<HeaderProblem>* problems = nullptr);
// The address with the headers that are set, in the order User-Agent, Referer, Origin, Cookie;
// the bare URL when none is.
std::string joinStationAddress(std::string_view url, const RequestHeaders& headers);

// Sets one header by its name (any letter case; "Referrer" and "Referer" alike), after the same
// checks as splitStationAddress. False, with the problem added, when it was left out.
bool setRequestHeader(RequestHeaders& headers, std::string_view name, std::string_view value,
                      std::vector<HeaderProblem>* problems = nullptr);

// Sets in into the headers that from sets: a later form of a playlist entry wins over an earlier.
void overlayHeaders(RequestHeaders& into, const RequestHeaders& from);

// Every byte but letters, digits and -._~()!*' as %XX, in capitals.
std::string percentEncode(std::string_view text);
// %XX as its byte; a "%" not followed by two hex digits stays as it is.
std::string percentDecode(std::string_view text);

}  // namespace zelvo
