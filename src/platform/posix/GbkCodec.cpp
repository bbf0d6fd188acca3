#include "platform/posix/GbkCodec.h"

#include <iconv.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "platform/Failure.h"

namespace zelvo {

namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";
constexpr unsigned kFirstLead = 0x81, kLastLead = 0xFE;
constexpr unsigned kFirstTrail = 0x40, kLastTrail = 0xFE;
constexpr unsigned kTrailCount = kLastTrail - kFirstTrail + 1;

// Every GBK character and its code point, as the system's iconv maps them. Looking characters
// up is many times faster than a call into iconv for each run of them.
struct GbkTables {
  std::vector<uint32_t> pairToCodePoint;  // (lead, trail) -> code point, 0 where none
  uint32_t singleToCodePoint[128] = {};   // bytes 0x80..0xFF on their own (0x80 is the euro)
  std::vector<uint16_t> codePointToGbk;   // BMP code point -> lead << 8 | trail, or one byte
};

uint32_t convertOne(iconv_t cd, const char* bytes, size_t length) {
  char* in = const_cast<char*>(bytes);
  size_t inLeft = length;
  uint32_t out[2] = {};
  char* outPtr = reinterpret_cast<char*>(out);
  size_t outLeft = sizeof out;
  iconv(cd, nullptr, nullptr, nullptr, nullptr);
  size_t done = iconv(cd, &in, &inLeft, &outPtr, &outLeft);
  if (done == static_cast<size_t>(-1) || inLeft != 0 || outLeft != sizeof out - 4) return 0;
  return out[0];
}

GbkTables buildTables() {
  iconv_t cd = iconv_open("UTF-32LE", "GBK");
  if (cd == reinterpret_cast<iconv_t>(-1)) fail("this system has no GBK converter");
  GbkTables t;
  t.pairToCodePoint.assign((kLastLead - kFirstLead + 1) * kTrailCount, 0);
  t.codePointToGbk.assign(0x10000, 0);
  for (unsigned byte = 0x80; byte <= 0xFF; ++byte) {
    const char single = static_cast<char>(byte);
    const uint32_t cp = convertOne(cd, &single, 1);
    t.singleToCodePoint[byte - 0x80] = cp;
    if (cp >= 0x80 && cp < 0x10000 && !t.codePointToGbk[cp])
      t.codePointToGbk[cp] = static_cast<uint16_t>(byte);
  }
  for (unsigned lead = kFirstLead; lead <= kLastLead; ++lead) {
    for (unsigned trail = kFirstTrail; trail <= kLastTrail; ++trail) {
      const char pair[2] = {static_cast<char>(lead), static_cast<char>(trail)};
      const uint32_t cp = convertOne(cd, pair, 2);
      if (cp < 0x80) continue;
      t.pairToCodePoint[(lead - kFirstLead) * kTrailCount + (trail - kFirstTrail)] = cp;
      if (cp < 0x10000 && !t.codePointToGbk[cp])
        t.codePointToGbk[cp] = static_cast<uint16_t>(lead << 8 | trail);
    }
  }
  iconv_close(cd);
  return t;
}

const GbkTables& tables() {
  static const GbkTables built = buildTables();
  return built;
}

void appendUtf8(std::string& out, uint32_t cp) {
  if (cp < 0x80) {
    out.push_back(static_cast<char>(cp));
  } else if (cp < 0x800) {
    out.push_back(static_cast<char>(0xC0 | cp >> 6));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else if (cp < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | cp >> 12));
    out.push_back(static_cast<char>(0x80 | (cp >> 6 & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | cp >> 18));
    out.push_back(static_cast<char>(0x80 | (cp >> 12 & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp >> 6 & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  }
}

// Copies the run of ASCII bytes that starts at from, which both encodings share, eight bytes
// at a time. Returns where the run ends.
size_t copyAsciiRun(std::string_view bytes, size_t from, std::string& out) {
  size_t i = from;
  while (i + 8 <= bytes.size()) {
    uint64_t word;
    std::memcpy(&word, bytes.data() + i, 8);
    if (word & 0x8080808080808080ull) break;
    i += 8;
  }
  while (i < bytes.size() && static_cast<unsigned char>(bytes[i]) < 0x80) ++i;
  out.append(bytes.data() + from, i - from);
  return i;
}

// Reads one UTF-8 sequence at i; returns its code point, or -1 for a broken one.
int64_t readUtf8(std::string_view text, size_t& i) {
  const auto byte = [&](size_t k) { return static_cast<unsigned char>(text[k]); };
  const unsigned lead = byte(i);
  size_t length = lead >= 0xF0 && lead < 0xF8 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
  if (length == 1 || i + length > text.size()) {
    ++i;
    return -1;
  }
  uint32_t cp = lead & (0x3F >> (length - 1));
  for (size_t k = 1; k < length; ++k) {
    if ((byte(i + k) & 0xC0) != 0x80) {
      i += k;
      return -1;
    }
    cp = cp << 6 | (byte(i + k) & 0x3F);
  }
  i += length;
  return cp;
}

}  // namespace

size_t appendGbkAsUtf8(std::string_view bytes, std::string& out, bool lastChunk) {
  const GbkTables& t = tables();
  size_t i = 0;
  while (i < bytes.size()) {
    i = copyAsciiRun(bytes, i, out);
    if (i == bytes.size()) break;
    const unsigned lead = static_cast<unsigned char>(bytes[i]);
    if (lead >= kFirstLead && lead <= kLastLead) {
      if (i + 1 == bytes.size() && !lastChunk) return 1;
      const unsigned trail = i + 1 < bytes.size() ? static_cast<unsigned char>(bytes[i + 1]) : 0;
      const uint32_t cp =
          trail >= kFirstTrail && trail <= kLastTrail
              ? t.pairToCodePoint[(lead - kFirstLead) * kTrailCount + (trail - kFirstTrail)]
              : 0;
      if (cp) {
        appendUtf8(out, cp);
        i += 2;
        continue;
      }
    } else if (const uint32_t cp = t.singleToCodePoint[lead - 0x80]) {
      appendUtf8(out, cp);
      ++i;
      continue;
    }
    // An invalid or truncated character: one replacement, and the next byte starts afresh.
    out.append(kReplacement);
    ++i;
  }
  return 0;
}

void appendUtf8AsGbk(std::string_view utf8, std::string& out) {
  const GbkTables& t = tables();
  size_t i = 0;
  while (i < utf8.size()) {
    i = copyAsciiRun(utf8, i, out);
    if (i == utf8.size()) break;
    const int64_t cp = readUtf8(utf8, i);
    const uint16_t gbk = cp >= 0x80 && cp < 0x10000 ? t.codePointToGbk[static_cast<size_t>(cp)] : 0;
    if (gbk > 0xFF) {
      out.push_back(static_cast<char>(gbk >> 8));
      out.push_back(static_cast<char>(gbk & 0xFF));
    } else if (gbk) {
      out.push_back(static_cast<char>(gbk));
    } else {
      out.push_back('?');  // a character GBK cannot hold, or broken UTF-8
    }
  }
}

std::string gbkToUtf8(std::string_view bytes) {
  std::string out;
  appendGbkAsUtf8(bytes, out, true);
  return out;
}

std::string utf8ToGbk(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  appendUtf8AsGbk(text, out);
  return out;
}

}  // namespace zelvo
