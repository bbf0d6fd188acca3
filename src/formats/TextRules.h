// The small text rules the station files and addresses share: trimming, reading numbers the
// way the files hold them, and writing them back.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zelvo {

std::string trimSpaces(std::string_view text);
// Reads a decimal number with optional sign, fraction and exponent, allowing spaces around it.
std::optional<double> parseNumber(std::string_view text);
// Rounds to the nearest integer, a half to the even neighbour.
double roundHalfEven(double value);
// Any finite value in plain decimal, in full: no exponent, and a fraction only when the value
// has one. parseNumber() reads it back as the same value.
std::string formatNumber(double value);
std::vector<std::string> splitFields(std::string_view line);
// Splits on CR LF, LF or CR; a line end at the very end gives no empty last line.
std::vector<std::string> splitLines(std::string_view text);
// The end marker of a station file: exactly "end", in any letter case.
bool isEndMarker(std::string_view line);

}  // namespace zelvo
