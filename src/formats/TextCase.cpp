#include "formats/TextCase.h"

namespace zelvo {

std::string toLowerAscii(std::string text) {
  for (char& c : text) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return text;
}

bool containsIgnoringCase(std::string_view text, std::string_view lowerNeedle) {
  if (lowerNeedle.empty()) return true;
  if (lowerNeedle.size() > text.size()) return false;
  const char first = lowerNeedle[0];
  const char firstUpper =
      first >= 'a' && first <= 'z' ? static_cast<char>(first - 'a' + 'A') : first;
  for (size_t i = 0; i + lowerNeedle.size() <= text.size(); ++i) {
    if (text[i] != first && text[i] != firstUpper) continue;
    size_t j = 0;
    while (j < lowerNeedle.size()) {
      char c = text[i + j];
      if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
      if (c != lowerNeedle[j]) break;
      ++j;
    }
    if (j == lowerNeedle.size()) return true;
  }
  return false;
}

bool equalsIgnoringCase(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
    if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
    if (x != y) return false;
  }
  return true;
}

bool startsWithIgnoringCase(std::string_view text, std::string_view lowerPrefix) {
  return text.size() >= lowerPrefix.size() &&
         toLowerAscii(std::string(text.substr(0, lowerPrefix.size()))) == lowerPrefix;
}

}  // namespace zelvo
