// How platform calls report that they could not do what was asked.
// Behaviour code never inspects the reason; it only absorbs the failure (see Steps.h).
#pragma once

#include <stdexcept>
#include <string>

namespace zelvo {

class PlatformFailure : public std::runtime_error {
 public:
  explicit PlatformFailure(const std::string& what) : std::runtime_error(what) {}
};

[[noreturn]] inline void fail(const std::string& what) { throw PlatformFailure(what); }

}  // namespace zelvo
