#include "platform/posix/GbkCodec.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>

#include "platform/Failure.h"

namespace zelvo {

namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";

size_t utf8SequenceLength(unsigned char lead) {
  if (lead < 0x80) return 1;
  if ((lead & 0xE0) == 0xC0) return 2;
  if ((lead & 0xF0) == 0xE0) return 3;
  if ((lead & 0xF8) == 0xF0) return 4;
  return 1;
}

// The end of the run of ASCII bytes that starts at from, eight bytes at a time.
size_t asciiRunEnd(std::string_view bytes, size_t from) {
  size_t i = from;
  while (i + 8 <= bytes.size()) {
    uint64_t word;
    std::memcpy(&word, bytes.data() + i, 8);
    if (word & 0x8080808080808080ull) break;
    i += 8;
  }
  while (i < bytes.size() && static_cast<unsigned char>(bytes[i]) < 0x80) ++i;
  return i;
}

iconv_t openConverter(const char* to, const char* from) {
  iconv_t cd = iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1))
    fail(std::string("no converter from ") + from + " to " + to);
  return cd;
}

}  // namespace

GbkDecoder::GbkDecoder() : cd_(openConverter("UTF-8", "GBK")) {}
GbkDecoder::~GbkDecoder() { iconv_close(cd_); }

size_t GbkDecoder::decode(std::string_view bytes, std::string& out, bool lastChunk) {
  // Station files are mostly ASCII, which GBK leaves as it is: only the rest goes through iconv.
  size_t i = 0;
  while (i < bytes.size()) {
    size_t ascii = asciiRunEnd(bytes, i);
    out.append(bytes.data() + i, ascii - i);
    if (ascii == bytes.size()) return 0;
    // A run of double-byte characters; their trail bytes may lie in the ASCII range.
    size_t end = ascii;
    while (end < bytes.size() && static_cast<unsigned char>(bytes[end]) >= 0x80) {
      end += static_cast<unsigned char>(bytes[end]) >= 0x81 &&
                     static_cast<unsigned char>(bytes[end]) <= 0xFE
                 ? 2
                 : 1;
    }
    end = std::min(end, bytes.size());
    const bool last = end == bytes.size() && lastChunk;
    size_t left = decodeRun(bytes.substr(ascii, end - ascii), out, last || end < bytes.size());
    if (left) return left + (bytes.size() - end);
    i = end;
  }
  return 0;
}

size_t GbkDecoder::decodeRun(std::string_view bytes, std::string& out, bool lastChunk) {
  char* in = const_cast<char*>(bytes.data());
  size_t inLeft = bytes.size();
  char buffer[4096];
  while (inLeft > 0) {
    char* outPtr = buffer;
    size_t outLeft = sizeof buffer;
    size_t done = iconv(cd_, &in, &inLeft, &outPtr, &outLeft);
    out.append(buffer, static_cast<size_t>(outPtr - buffer));
    if (done != static_cast<size_t>(-1)) break;
    if (errno == E2BIG) continue;
    if (errno == EINVAL && !lastChunk) return inLeft;
    // An invalid or truncated character: show it as one replacement and go on after it.
    out.append(kReplacement);
    ++in;
    --inLeft;
    iconv(cd_, nullptr, nullptr, nullptr, nullptr);
  }
  return 0;
}

GbkEncoder::GbkEncoder() : cd_(openConverter("GBK", "UTF-8")) {}
GbkEncoder::~GbkEncoder() { iconv_close(cd_); }

std::string GbkEncoder::encode(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  size_t i = 0;
  while (i < utf8.size()) {
    size_t ascii = asciiRunEnd(utf8, i);
    out.append(utf8.data() + i, ascii - i);
    size_t end = ascii;
    while (end < utf8.size() && static_cast<unsigned char>(utf8[end]) >= 0x80) ++end;
    if (end > ascii) encodeRun(utf8.substr(ascii, end - ascii), out);
    i = end;
  }
  return out;
}

void GbkEncoder::encodeRun(std::string_view utf8, std::string& out) {
  char* in = const_cast<char*>(utf8.data());
  size_t inLeft = utf8.size();
  char buffer[4096];
  while (inLeft > 0) {
    char* outPtr = buffer;
    size_t outLeft = sizeof buffer;
    size_t done = iconv(cd_, &in, &inLeft, &outPtr, &outLeft);
    out.append(buffer, static_cast<size_t>(outPtr - buffer));
    if (done != static_cast<size_t>(-1)) break;
    if (errno == E2BIG) continue;
    // A character GBK cannot hold, or broken UTF-8: one "?" for the whole character.
    out.push_back('?');
    size_t skip = std::min(utf8SequenceLength(static_cast<unsigned char>(*in)), inLeft);
    in += skip;
    inLeft -= skip;
    iconv(cd_, nullptr, nullptr, nullptr, nullptr);
  }
}

std::string gbkToUtf8(std::string_view bytes) {
  GbkDecoder decoder;
  std::string out;
  decoder.decode(bytes, out, true);
  return out;
}

std::string utf8ToGbk(std::string_view text) { return GbkEncoder().encode(text); }

}  // namespace zelvo
