// Conversion between GB18030 bytes and UTF-8 text, with tables that iconv fills once. GBK
// (code page 936) codes read and write as GBK's; every other character takes GB18030's code.
// Invalid bytes decode as U+FFFD; only broken UTF-8 encodes as "?".
#pragma once

#include <string>
#include <string_view>

namespace zelvo {

// Decodes bytes and appends the text to out. Returns how many trailing bytes form an
// incomplete character; when more input follows, the caller passes them again.
size_t appendGbkAsUtf8(std::string_view bytes, std::string& out, bool lastChunk);
// Encodes the text and appends the bytes to out.
void appendUtf8AsGbk(std::string_view utf8, std::string& out);

// Builds the tables now rather than at the first conversion. Building them opens iconv's
// modules, and that waits for as long as another thread is loading libraries.
void prepareGbkCodec();

std::string gbkToUtf8(std::string_view bytes);
std::string utf8ToGbk(std::string_view text);

}  // namespace zelvo
