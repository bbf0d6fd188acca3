// The times of XMLTV guides ("20240101203000 +0800") as UTC seconds: the date and time of day,
// then an optional offset from UTC; without one the time is UTC.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace zelvo {

// Accepts YYYYMMDDhhmmss or any initial part of it down to YYYY (what is left out is its
// beginning: YYYYMMDD is midnight), then optional blanks and an offset (+hhmm, -hhmm, +hh:mm or
// Z). Empty for anything else: a date or time that cannot be, an offset beyond 14 hours,
// trailing text.
std::optional<int64_t> parseXmltvTime(std::string_view text);

// The time as a guide writes it, in UTC: "20240101123000 +0000".
std::string formatXmltvTime(int64_t utc);

}  // namespace zelvo
