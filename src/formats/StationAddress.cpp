// The "|" suffix of a station's address: reading and writing its headers.
#include "formats/StationAddress.h"

#include "formats/TextCase.h"

namespace zelvo {

namespace {

int hexDigit(char ch) {
  if (ch >= '0' && ch <= '9') return ch - '0';
  if (ch >= 'a' && ch <= 'f') return ch - 'a' + 10;
  if (ch >= 'A' && ch <= 'F') return ch - 'A' + 10;
  return -1;
}

bool keptAsItIs(unsigned char ch) {
  if ((ch >= 'A' && ch <= 'Z') || (ch >= 'a' && ch <= 'z') || (ch >= '0' && ch <= '9')) return true;
  switch (ch) {
    case '-': case '.': case '_': case '~': case '(': case ')': case '!': case '*': case '\'':
      return true;
    default:
      return false;
  }
}

bool hasControlCharacter(std::string_view value) {
  for (const char ch : value) {
    const auto byte = static_cast<unsigned char>(ch);
    if (byte < 0x20 || byte == 0x7f) return true;
  }
  return false;
}

std::string* headerField(RequestHeaders& headers, std::string_view name) {
  const std::string lower = toLowerAscii(std::string(name));
  if (lower == "user-agent") return &headers.userAgent;
  if (lower == "referer" || lower == "referrer") return &headers.referrer;
  if (lower == "origin") return &headers.origin;
  if (lower == "cookie") return &headers.cookie;
  return nullptr;
}

void report(std::vector<HeaderProblem>* problems, HeaderProblem::Kind kind, std::string_view name) {
  if (problems) problems->push_back({kind, std::string(name)});
}

}  // namespace

std::string_view addressUrl(std::string_view address) {
  return address.substr(0, address.find('|'));
}

std::string_view addressSuffix(std::string_view address) {
  const size_t bar = address.find('|');
  return bar == std::string_view::npos ? std::string_view{} : address.substr(bar);
}

bool setRequestHeader(RequestHeaders& headers, std::string_view name, std::string_view value,
                      std::vector<HeaderProblem>* problems) {
  std::string* field = headerField(headers, name);
  if (!field) {
    report(problems, HeaderProblem::Kind::UnknownName, name);
    return false;
  }
  if (value.size() > kMaxHeaderValueBytes) {
    report(problems, HeaderProblem::Kind::TooLong, name);
    return false;
  }
  if (hasControlCharacter(value)) {
    report(problems, HeaderProblem::Kind::ControlCharacter, name);
    return false;
  }
  *field = std::string(value);
  return true;
}

StationAddress splitStationAddress(std::string_view address,
                                   std::vector<HeaderProblem>* problems) {
  StationAddress result{std::string(addressUrl(address)), {}};
  std::string_view rest = addressSuffix(address);
  if (rest.empty()) return result;
  rest.remove_prefix(1);
  while (!rest.empty()) {
    const size_t amp = rest.find('&');
    const std::string_view pair = rest.substr(0, amp);
    rest = amp == std::string_view::npos ? std::string_view{} : rest.substr(amp + 1);
    if (pair.empty()) continue;
    const size_t equals = pair.find('=');
    const std::string_view name = pair.substr(0, equals);
    const std::string value =
        equals == std::string_view::npos ? std::string() : percentDecode(pair.substr(equals + 1));
    setRequestHeader(result.headers, name, value, problems);
  }
  return result;
}

std::string joinStationAddress(std::string_view url, const RequestHeaders& headers) {
  std::string address(url);
  char separator = '|';
  const auto add = [&](const char* name, const std::string& value) {
    if (value.empty()) return;
    address += separator;
    address += name;
    address += '=';
    address += percentEncode(value);
    separator = '&';
  };
  add("User-Agent", headers.userAgent);
  add("Referer", headers.referrer);
  add("Origin", headers.origin);
  add("Cookie", headers.cookie);
  return address;
}

void overlayHeaders(RequestHeaders& into, const RequestHeaders& from) {
  for (auto field : {&RequestHeaders::userAgent, &RequestHeaders::referrer, &RequestHeaders::origin,
                     &RequestHeaders::cookie}) {
    if (!(from.*field).empty()) into.*field = from.*field;
  }
}

std::string percentEncode(std::string_view text) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  out.reserve(text.size());
  for (const char ch : text) {
    const auto byte = static_cast<unsigned char>(ch);
    if (keptAsItIs(byte)) {
      out += ch;
    } else {
      out += '%';
      out += kHex[byte >> 4];
      out += kHex[byte & 0xf];
    }
  }
  return out;
}

std::string percentDecode(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '%' && i + 2 < text.size() && hexDigit(text[i + 1]) >= 0 &&
        hexDigit(text[i + 2]) >= 0) {
      out += static_cast<char>(hexDigit(text[i + 1]) * 16 + hexDigit(text[i + 2]));
      i += 2;
    } else {
      out += text[i];
    }
  }
  return out;
}

}  // namespace zelvo
