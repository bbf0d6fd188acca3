#include "platform/posix/GbkCodec.h"

#include <iconv.h>

#include <cerrno>
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
// GB18030's four-byte characters: lead 0x81..0xFE, digit, 0x81..0xFE, digit, counted in one
// linear index. The BMP characters GBK lacks come first; the other planes start at 0x90308130.
constexpr unsigned kFourByteBmpCount = 39420;
constexpr unsigned kFirstPlaneIndex = 189000;
constexpr uint16_t kNoIndex = 0xFFFF;

// Every GBK character and its code point, as the system's iconv maps them. Looking characters
// up is many times faster than a call into iconv for each run of them.
struct GbkTables {
  std::vector<uint32_t> pairToCodePoint;  // (lead, trail) -> code point, 0 where none
  uint32_t singleToCodePoint[128] = {};   // bytes 0x80..0xFF on their own (0x80 is the euro)
  std::vector<uint16_t> codePointToGbk;   // BMP code point -> lead << 8 | trail, or one byte
};

// What GB18030 adds for the BMP characters GBK lacks: most get four bytes, a few two. Built on
// the first such character, so that a GBK file costs nothing more than before.
struct Gb18030Tables {
  std::vector<uint32_t> pairToCodePoint;  // two-byte codes GBK leaves empty -> code point
  std::vector<uint16_t> codePointToPair;  // BMP code point -> lead << 8 | trail, 0 where none
  std::vector<uint16_t> codePointToFour;  // BMP code point -> four-byte index, or kNoIndex
  std::vector<uint16_t> fourToCodePoint;  // four-byte index below kFourByteBmpCount -> code point
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

unsigned fourByteIndex(const unsigned char* b) {
  return (((b[0] - 0x81u) * 10 + (b[1] - 0x30u)) * 126 + (b[2] - 0x81u)) * 10 + (b[3] - 0x30u);
}

bool isDigitByte(unsigned char byte) { return byte >= 0x30 && byte <= 0x39; }
bool isLeadByte(unsigned char byte) { return byte >= kFirstLead && byte <= kLastLead; }

// GBK's own codes stay as they were, so every GBK file reads and writes as before. One iconv
// call converts all the characters GBK lacks; a character iconv refuses keeps no code.
Gb18030Tables buildGb18030(const GbkTables& gbk) {
  Gb18030Tables t;
  t.pairToCodePoint.assign(gbk.pairToCodePoint.size(), 0);
  t.codePointToPair.assign(0x10000, 0);
  t.codePointToFour.assign(0x10000, kNoIndex);
  t.fourToCodePoint.assign(kFourByteBmpCount, 0);
  iconv_t cd = iconv_open("GB18030", "UTF-32LE");
  if (cd == reinterpret_cast<iconv_t>(-1)) return t;  // GBK alone, as before
  std::vector<uint32_t> missing;
  for (uint32_t cp = 0x80; cp < 0x10000; ++cp) {
    if (!gbk.codePointToGbk[cp] && (cp < 0xD800 || cp >= 0xE000)) missing.push_back(cp);
  }
  std::vector<unsigned char> bytes(missing.size() * 4);
  size_t next = 0;
  while (next < missing.size()) {
    char* in = reinterpret_cast<char*>(missing.data() + next);
    size_t inLeft = (missing.size() - next) * 4;
    char* out = reinterpret_cast<char*>(bytes.data());
    size_t outLeft = bytes.size();
    const size_t done = iconv(cd, &in, &inLeft, &out, &outLeft);
    const size_t converted = missing.size() - next - inLeft / 4;
    const unsigned char* b = bytes.data();
    const unsigned char* end = reinterpret_cast<unsigned char*>(out);
    for (size_t k = 0; k < converted && b < end; ++k) {
      const uint32_t cp = missing[next + k];
      if (end - b >= 4 && isLeadByte(b[0]) && isDigitByte(b[1])) {
        const unsigned index = fourByteIndex(b);
        if (index < kFourByteBmpCount) {
          t.codePointToFour[cp] = static_cast<uint16_t>(index);
          t.fourToCodePoint[index] = static_cast<uint16_t>(cp);
        }
        b += 4;
      } else if (end - b >= 2 && isLeadByte(b[0])) {
        const size_t at = (b[0] - kFirstLead) * kTrailCount + (b[1] - kFirstTrail);
        if (b[1] >= kFirstTrail && b[1] <= kLastTrail && !gbk.pairToCodePoint[at] &&
            !t.pairToCodePoint[at]) {
          t.pairToCodePoint[at] = cp;
          t.codePointToPair[cp] = static_cast<uint16_t>(b[0] << 8 | b[1]);
        }
        b += 2;
      } else {
        ++b;
      }
    }
    next += converted;
    if (done == static_cast<size_t>(-1)) {
      if (errno != EILSEQ && errno != EINVAL) break;
      ++next;  // skip the refused character
    }
  }
  iconv_close(cd);
  return t;
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

const Gb18030Tables& gb18030Tables() {
  static const Gb18030Tables built = buildGb18030(tables());
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

// The code point of the four-byte character at i, or 0 when there is none.
uint32_t fourByteCodePoint(std::string_view bytes, size_t i) {
  if (i + 4 > bytes.size()) return 0;
  const auto* b = reinterpret_cast<const unsigned char*>(bytes.data() + i);
  if (!isLeadByte(b[2]) || !isDigitByte(b[3])) return 0;
  const unsigned index = fourByteIndex(b);
  if (index < kFourByteBmpCount) return gb18030Tables().fourToCodePoint[index];
  if (index >= kFirstPlaneIndex && index - kFirstPlaneIndex < 0x100000)
    return 0x10000 + (index - kFirstPlaneIndex);
  return 0;
}

void appendFourBytes(std::string& out, unsigned index) {
  const unsigned char b3 = static_cast<unsigned char>(0x30 + index % 10);
  index /= 10;
  const unsigned char b2 = static_cast<unsigned char>(0x81 + index % 126);
  index /= 126;
  const unsigned char b1 = static_cast<unsigned char>(0x30 + index % 10);
  index /= 10;
  out.push_back(static_cast<char>(0x81 + index));
  out.push_back(static_cast<char>(b1));
  out.push_back(static_cast<char>(b2));
  out.push_back(static_cast<char>(b3));
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
      if (isDigitByte(static_cast<unsigned char>(trail))) {
        if (i + 4 > bytes.size() && !lastChunk) return bytes.size() - i;
        if (const uint32_t cp = fourByteCodePoint(bytes, i)) {
          appendUtf8(out, cp);
          i += 4;
          continue;
        }
      }
      const size_t at = (lead - kFirstLead) * kTrailCount + (trail - kFirstTrail);
      uint32_t cp = trail >= kFirstTrail && trail <= kLastTrail ? t.pairToCodePoint[at] : 0;
      if (!cp && trail >= kFirstTrail && trail <= kLastTrail)
        cp = gb18030Tables().pairToCodePoint[at];
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
    } else if (cp == 0xFFFD) {
      out.push_back('?');  // what was lost on reading stays a "?", as GBK editors show it
    } else if (cp >= 0x10000 && cp < 0x110000) {
      appendFourBytes(out, kFirstPlaneIndex + static_cast<unsigned>(cp - 0x10000));
    } else if (cp >= 0x80 && cp < 0x10000) {
      const Gb18030Tables& more = gb18030Tables();
      const auto at = static_cast<size_t>(cp);
      if (const uint16_t pair = more.codePointToPair[at]) {
        out.push_back(static_cast<char>(pair >> 8));
        out.push_back(static_cast<char>(pair & 0xFF));
      } else if (more.codePointToFour[at] != kNoIndex) {
        appendFourBytes(out, more.codePointToFour[at]);
      } else {
        out.push_back('?');  // a character the system's converter has no code for
      }
    } else {
      out.push_back('?');  // broken UTF-8 or a surrogate
    }
  }
}

void prepareGbkCodec() { gb18030Tables(); }

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
