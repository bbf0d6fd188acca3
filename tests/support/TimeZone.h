// Sets the process's local time zone (TZ) for a test and puts the old one back afterwards.
#pragma once

#include <time.h>

#include "support/ScopedEnvironment.h"

namespace zelvo::test {

class TimeZone {
 public:
  explicit TimeZone(const char* zone) : zone_("TZ", zone) { tzset(); }

 private:
  // Members go in reverse order: TZ is put back first, then the C library reads it again.
  struct ReadAgain {
    ~ReadAgain() { tzset(); }
  } readAgain_;
  ScopedEnvironment zone_;
};

}  // namespace zelvo::test
