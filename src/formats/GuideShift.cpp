#include "formats/GuideShift.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>

#include "formats/PlaylistEntries.h"

namespace zelvo {

namespace {

constexpr int kFractionDigits = 6;  // millionths of an hour: well below a second

}  // namespace

std::optional<int> parseShiftHours(std::string_view text) {
  text = trimBlanks(text);
  bool negative = false;
  if (!text.empty() && (text[0] == '+' || text[0] == '-')) {
    negative = text[0] == '-';
    text.remove_prefix(1);
  }
  int64_t microHours = 0;
  int wholeDigits = 0;
  int fractionDigits = -1;  // -1 until the point
  for (const char ch : text) {
    if (ch == '.' && fractionDigits < 0) {
      fractionDigits = 0;
      continue;
    }
    if (ch < '0' || ch > '9') return std::nullopt;
    if (fractionDigits < 0) {
      if (++wholeDigits > 3) return std::nullopt;
      microHours = microHours * 10 + (ch - '0');
    } else if (++fractionDigits <= kFractionDigits) {
      microHours = microHours * 10 + (ch - '0');
    }
  }
  if (wholeDigits == 0 && fractionDigits <= 0) return std::nullopt;
  for (int n = std::max(fractionDigits, 0); n < kFractionDigits; ++n) microHours *= 10;
  if (microHours > int64_t{kMostShiftHours} * 1000000) return std::nullopt;
  const int seconds = static_cast<int>((microHours * 3600 + 500000) / 1000000);
  return negative ? -seconds : seconds;
}

std::string formatShiftHours(int seconds) {
  if (seconds % 3600 == 0) return std::to_string(seconds / 3600);
  char text[32];
  std::snprintf(text, sizeof text, "%.4f", seconds / 3600.0);
  std::string out = text;
  while (out.back() == '0') out.pop_back();
  return out;
}

}  // namespace zelvo
