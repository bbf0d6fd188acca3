// Conversion between GBK (code page 936) bytes and UTF-8 text, with tables that iconv fills
// once. Invalid GBK bytes decode as U+FFFD; characters GBK cannot hold encode as "?".
#pragma once

#include <string>
#include <string_view>

namespace zelvo {

class GbkDecoder {
 public:
  // Decodes bytes and appends the text to out. Returns how many trailing bytes form an
  // incomplete character; when more input follows, the caller passes them again.
  size_t decode(std::string_view bytes, std::string& out, bool lastChunk);
};

class GbkEncoder {
 public:
  std::string encode(std::string_view utf8);
};

std::string gbkToUtf8(std::string_view bytes);
std::string utf8ToGbk(std::string_view text);

}  // namespace zelvo
