#include "platform/xmltv/GuideBytes.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstring>

namespace zelvo {
namespace {

constexpr char kReplacement[] = "\xEF\xBF\xBD";
constexpr size_t kIncomplete = static_cast<size_t>(-1);

// The length of the UTF-8 character that starts data, 0 when it starts none, or kIncomplete
// when the bytes end before the character does. U+FFFE and U+FFFF are no XML characters.
size_t characterLength(const unsigned char* data, size_t size) {
  const unsigned char lead = data[0];
  if (lead < 0xC2 || lead > 0xF4) return 0;
  const size_t length = lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
  const unsigned char low = lead == 0xE0 ? 0xA0 : lead == 0xF0 ? 0x90 : 0x80;
  const unsigned char high = lead == 0xED ? 0x9F : lead == 0xF4 ? 0x8F : 0xBF;
  for (size_t i = 1; i < length; ++i) {
    if (i >= size) return kIncomplete;
    const unsigned char byte = data[i];
    if (byte < (i == 1 ? low : 0x80) || byte > (i == 1 ? high : 0xBF)) return 0;
  }
  if (lead == 0xEF && data[1] == 0xBF && data[2] >= 0xBE) return 0;
  return length;
}

}  // namespace

void GuideBytes::append(const char* data, size_t size, std::string& out) {
  if (carry_.empty()) {
    mend(reinterpret_cast<const unsigned char*>(data), size, out, false);
    return;
  }
  std::string joined = std::move(carry_);
  carry_.clear();
  joined.append(data, size);
  mend(reinterpret_cast<const unsigned char*>(joined.data()), joined.size(), out, false);
}

void GuideBytes::finish(std::string& out) {
  std::string rest = std::move(carry_);
  carry_.clear();
  mend(reinterpret_cast<const unsigned char*>(rest.data()), rest.size(), out, true);
}

void GuideBytes::mend(const unsigned char* data, size_t size, std::string& out, bool last) {
  const auto* plain = reinterpret_cast<const char*>(data);
  size_t run = 0;  // where the bytes that go out unchanged began
  size_t i = 0;
  while (i < size) {
    // Eight bytes at a time while all are printable ASCII; a false alarm only slows down.
    uint64_t word;
    while (i + 8 <= size && (std::memcpy(&word, data + i, 8),
                             ((word | (word - 0x2020202020202020)) & 0x8080808080808080) == 0)) {
      i += 8;
    }
    if (i >= size) break;
    const unsigned char byte = data[i];
    if (byte >= 0x20 && byte < 0x80) {
      ++i;
      continue;
    }
    if (byte < 0x20) {
      if (byte == '\t' || byte == '\n' || byte == '\r') {
        ++i;
        continue;
      }
      out.append(plain + run, i - run);
      run = ++i;
      continue;
    }
    if (!utf8_) {
      ++i;
      continue;
    }
    const size_t length = characterLength(data + i, size - i);
    if (length == kIncomplete && !last) {
      out.append(plain + run, i - run);
      carry_.assign(plain + i, size - i);
      return;
    }
    if (length != kIncomplete && length > 0) {
      i += length;
      continue;
    }
    out.append(plain + run, i - run);
    out += kReplacement;
    run = ++i;
  }
  out.append(plain + run, size - run);
}

bool declaresUtf8(const std::string& head) {
  if (head.rfind("<?xml", 0) != 0) return true;
  const size_t end = head.find("?>");
  const size_t name = head.find("encoding", 5);
  if (name == std::string::npos || name > end) return true;
  const size_t open = head.find_first_of("\"'", name);
  if (open == std::string::npos || open > end) return true;
  const size_t close = head.find(head[open], open + 1);
  if (close == std::string::npos || close > end) return true;
  std::string encoding = head.substr(open + 1, close - open - 1);
  std::transform(encoding.begin(), encoding.end(), encoding.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return encoding == "utf-8" || encoding == "utf8" || encoding == "us-ascii" || encoding == "ascii";
}

}  // namespace zelvo
