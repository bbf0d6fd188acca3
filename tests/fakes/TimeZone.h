// Sets the process's local time zone (TZ) for a test and puts the old one back afterwards.
#pragma once

#include <stdlib.h>
#include <time.h>

#include <optional>
#include <string>

namespace zelvo::test {

class TimeZone {
 public:
  explicit TimeZone(const char* zone) {
    if (const char* old = getenv("TZ")) saved_ = old;
    setenv("TZ", zone, 1);
    tzset();
  }
  ~TimeZone() {
    if (saved_)
      setenv("TZ", saved_->c_str(), 1);
    else
      unsetenv("TZ");
    tzset();
  }
  TimeZone(const TimeZone&) = delete;
  TimeZone& operator=(const TimeZone&) = delete;

 private:
  std::optional<std::string> saved_;
};

}  // namespace zelvo::test
