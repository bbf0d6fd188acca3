#include "formats/XmltvTime.h"

#include <ctime>

namespace zelvo {
namespace {

bool digitsAt(std::string_view text, size_t at, size_t count, int& value) {
  if (at + count > text.size()) return false;
  value = 0;
  for (size_t i = at; i < at + count; ++i) {
    const char c = text[i];
    if (c < '0' || c > '9') return false;
    value = value * 10 + (c - '0');
  }
  return true;
}

bool leapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int daysInMonth(int year, int month) {
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return month == 2 && leapYear(year) ? 29 : kDays[month - 1];
}

// Days since 1970-01-01 of a proleptic Gregorian date.
int64_t daysFromCivil(int64_t year, int month, int day) {
  year -= month <= 2;
  const int64_t era = (year >= 0 ? year : year - 399) / 400;
  const int64_t yearOfEra = year - era * 400;
  const int64_t dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
  const int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
  return era * 146097 + dayOfEra - 719468;
}

std::string_view trimmed(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  return text;
}

}  // namespace

std::optional<int64_t> parseXmltvTime(std::string_view text) {
  text = trimmed(text);
  size_t digits = 0;
  while (digits < text.size() && text[digits] >= '0' && text[digits] <= '9') ++digits;
  if (digits < 4 || digits > 14 || digits % 2 != 0) return std::nullopt;
  int year = 0, month = 1, day = 1, hour = 0, minute = 0, second = 0;
  digitsAt(text, 0, 4, year);
  if (digits >= 6) digitsAt(text, 4, 2, month);
  if (digits >= 8) digitsAt(text, 6, 2, day);
  if (digits >= 10) digitsAt(text, 8, 2, hour);
  if (digits >= 12) digitsAt(text, 10, 2, minute);
  if (digits == 14) digitsAt(text, 12, 2, second);
  if (month < 1 || month > 12 || day < 1 || day > daysInMonth(year, month) || hour > 23 ||
      minute > 59 || second > 60) {
    return std::nullopt;
  }

  std::string_view offset = trimmed(text.substr(digits));
  int offsetSeconds = 0;
  if (offset == "Z") offset = {};
  if (!offset.empty()) {
    if (offset[0] != '+' && offset[0] != '-') return std::nullopt;
    const int sign = offset[0] == '-' ? -1 : 1;
    const size_t minutesAt = offset.size() == 6 && offset[3] == ':' ? 4 : 3;
    int offsetHours = 0, offsetMinutes = 0;
    if (offset.size() != minutesAt + 2 || !digitsAt(offset, 1, 2, offsetHours) ||
        !digitsAt(offset, minutesAt, 2, offsetMinutes) || offsetMinutes > 59 ||
        offsetHours * 60 + offsetMinutes > 14 * 60) {
      return std::nullopt;
    }
    offsetSeconds = sign * (offsetHours * 3600 + offsetMinutes * 60);
  }
  return daysFromCivil(year, month, day) * 86400 + hour * 3600 + minute * 60 + second -
         offsetSeconds;
}

std::string formatXmltvTime(int64_t utc) {
  const time_t moment = static_cast<time_t>(utc);
  std::tm parts{};
  gmtime_r(&moment, &parts);
  char text[32];
  std::strftime(text, sizeof text, "%Y%m%d%H%M%S +0000", &parts);
  return text;
}

}  // namespace zelvo
