// Comparing and searching text with ASCII letter case ignored, the way the station list and
// the address rules ignore it.
#pragma once

#include <string>
#include <string_view>

namespace zelvo {

// Letter case is ignored the way the station list ignores it: ASCII letters only.
bool equalsIgnoringCase(const std::string& a, const std::string& b);
std::string toLowerAscii(std::string text);
// Whether text contains the lower-case ASCII needle, ignoring the letter case of text.
bool containsIgnoringCase(std::string_view text, std::string_view lowerNeedle);
// Whether text starts with the lower-case ASCII prefix, ignoring the letter case of text.
bool startsWithIgnoringCase(std::string_view text, std::string_view lowerPrefix);

}  // namespace zelvo
