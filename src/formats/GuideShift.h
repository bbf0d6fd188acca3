// Time shifts as playlists give them, in hours ("+8", "-3.5"), held as whole seconds, and
// written back in hours for the guide's side files.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace zelvo {

// No zone lies further from UTC than this; a larger shift is no shift a guide needs.
inline constexpr int kMostShiftHours = 24;

// An optional sign, digits and an optional fraction after a ".", blanks around; the seconds,
// rounded. Nothing for any other text, or beyond kMostShiftHours.
std::optional<int> parseShiftHours(std::string_view text);

// The shift in hours, as parseShiftHours reads it back: "8", "-3.5", "0.0003".
std::string formatShiftHours(int seconds);

}  // namespace zelvo
