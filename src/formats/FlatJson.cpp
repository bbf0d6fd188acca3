// Reading and writing the flat JSON objects of #EXTHTTP lines.
#include "formats/FlatJson.h"

#include <cstdint>

namespace zelvo {

namespace {

class Reader {
 public:
  explicit Reader(std::string_view text) : text_(text) {}

  void skipBlanks() {
    while (at_ < text_.size() &&
           (text_[at_] == ' ' || text_[at_] == '\t' || text_[at_] == '\r' || text_[at_] == '\n'))
      ++at_;
  }
  bool take(char ch) {
    skipBlanks();
    if (at_ >= text_.size() || text_[at_] != ch) return false;
    ++at_;
    return true;
  }
  bool atEnd() {
    skipBlanks();
    return at_ == text_.size();
  }

  std::optional<std::string> string() {
    if (!take('"')) return std::nullopt;
    std::string out;
    while (at_ < text_.size()) {
      const char ch = text_[at_++];
      if (ch == '"') return out;
      if (static_cast<unsigned char>(ch) < 0x20) return std::nullopt;
      if (ch != '\\') {
        out += ch;
        continue;
      }
      if (at_ >= text_.size()) return std::nullopt;
      const char escaped = text_[at_++];
      switch (escaped) {
        case '"':
        case '\\':
        case '/':
          out += escaped;
          break;
        case 'b':
          out += '\b';
          break;
        case 'f':
          out += '\f';
          break;
        case 'n':
          out += '\n';
          break;
        case 'r':
          out += '\r';
          break;
        case 't':
          out += '\t';
          break;
        case 'u':
          if (!codePoint(out)) return std::nullopt;
          break;
        default:
          return std::nullopt;
      }
    }
    return std::nullopt;
  }

 private:
  std::optional<uint32_t> hex4() {
    if (at_ + 4 > text_.size()) return std::nullopt;
    uint32_t value = 0;
    for (int i = 0; i < 4; ++i) {
      const char ch = text_[at_++];
      value <<= 4;
      if (ch >= '0' && ch <= '9')
        value |= ch - '0';
      else if (ch >= 'a' && ch <= 'f')
        value |= ch - 'a' + 10;
      else if (ch >= 'A' && ch <= 'F')
        value |= ch - 'A' + 10;
      else
        return std::nullopt;
    }
    return value;
  }

  // After "\u": one code point, a surrogate pair as one; a lone surrogate is refused.
  bool codePoint(std::string& out) {
    std::optional<uint32_t> cp = hex4();
    if (!cp || (*cp >= 0xDC00 && *cp < 0xE000)) return false;
    if (*cp >= 0xD800 && *cp < 0xDC00) {
      if (at_ + 2 > text_.size() || text_[at_] != '\\' || text_[at_ + 1] != 'u') return false;
      at_ += 2;
      const std::optional<uint32_t> low = hex4();
      if (!low || *low < 0xDC00 || *low >= 0xE000) return false;
      cp = 0x10000 + ((*cp - 0xD800) << 10) + (*low - 0xDC00);
    }
    const uint32_t c = *cp;
    if (c < 0x80) {
      out += static_cast<char>(c);
    } else if (c < 0x800) {
      out += static_cast<char>(0xC0 | c >> 6);
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
      out += static_cast<char>(0xE0 | c >> 12);
      out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
      out += static_cast<char>(0xF0 | c >> 18);
      out += static_cast<char>(0x80 | (c >> 12 & 0x3F));
      out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    }
    return true;
  }

  std::string_view text_;
  size_t at_ = 0;
};

}  // namespace

std::optional<std::vector<std::pair<std::string, std::string>>> readFlatJsonObject(
    std::string_view text) {
  Reader reader(text);
  std::vector<std::pair<std::string, std::string>> members;
  if (!reader.take('{')) return std::nullopt;
  if (!reader.take('}')) {
    do {
      std::optional<std::string> name = reader.string();
      if (!name || !reader.take(':')) return std::nullopt;
      std::optional<std::string> value = reader.string();
      if (!value) return std::nullopt;
      members.emplace_back(std::move(*name), std::move(*value));
    } while (reader.take(','));
    if (!reader.take('}')) return std::nullopt;
  }
  if (!reader.atEnd()) return std::nullopt;
  return members;
}

std::string jsonString(std::string_view text) {
  static constexpr char kHex[] = "0123456789abcdef";
  std::string out = "\"";
  for (const char ch : text) {
    const auto byte = static_cast<unsigned char>(ch);
    if (ch == '"' || ch == '\\') {
      out += '\\';
      out += ch;
    } else if (byte < 0x20) {
      out += "\\u00";
      out += kHex[byte >> 4];
      out += kHex[byte & 0xF];
    } else {
      out += ch;
    }
  }
  return out + '"';
}

}  // namespace zelvo
