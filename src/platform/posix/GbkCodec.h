// Conversion between GBK (code page 936) bytes and UTF-8 text, through iconv.
// Invalid GBK bytes decode as U+FFFD; characters GBK cannot hold encode as "?".
#pragma once

#include <iconv.h>

#include <string>
#include <string_view>

namespace zelvo {

class GbkDecoder {
 public:
  GbkDecoder();
  ~GbkDecoder();
  GbkDecoder(const GbkDecoder&) = delete;
  GbkDecoder& operator=(const GbkDecoder&) = delete;
  // Decodes bytes and appends the text to out. Returns how many trailing bytes form an
  // incomplete character; when more input follows, the caller passes them again.
  size_t decode(std::string_view bytes, std::string& out, bool lastChunk);

 private:
  size_t decodeRun(std::string_view bytes, std::string& out, bool lastChunk);
  iconv_t cd_;
};

class GbkEncoder {
 public:
  GbkEncoder();
  ~GbkEncoder();
  GbkEncoder(const GbkEncoder&) = delete;
  GbkEncoder& operator=(const GbkEncoder&) = delete;
  std::string encode(std::string_view utf8);

 private:
  void encodeRun(std::string_view utf8, std::string& out);
  iconv_t cd_;
};

std::string gbkToUtf8(std::string_view bytes);
std::string utf8ToGbk(std::string_view text);

}  // namespace zelvo
