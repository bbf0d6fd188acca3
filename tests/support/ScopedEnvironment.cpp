// Saves each variable's value before its first change and restores them in reverse order.
#include "support/ScopedEnvironment.h"

#include <cstdlib>

namespace zelvo::test {

void ScopedEnvironment::set(const std::string& name, const char* value) {
  const char* old = std::getenv(name.c_str());
  saved_.emplace_back(name, old ? std::optional<std::string>(old) : std::nullopt);
  if (value)
    ::setenv(name.c_str(), value, 1);
  else
    ::unsetenv(name.c_str());
}

ScopedEnvironment::~ScopedEnvironment() {
  for (auto it = saved_.rbegin(); it != saved_.rend(); ++it) {
    if (it->second)
      ::setenv(it->first.c_str(), it->second->c_str(), 1);
    else
      ::unsetenv(it->first.c_str());
  }
}

}  // namespace zelvo::test
