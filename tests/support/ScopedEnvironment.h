// Environment variables set for the life of an object and put back as they were afterwards,
// for tests that point the program at folders, time zones or displays of their own.
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace zelvo::test {

class ScopedEnvironment {
 public:
  ScopedEnvironment() = default;
  // Sets (or, for a null value, removes) one variable at once.
  ScopedEnvironment(const std::string& name, const char* value) { set(name, value); }
  ~ScopedEnvironment();
  ScopedEnvironment(const ScopedEnvironment&) = delete;
  ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

  // Sets the variable, or removes it when value is null; the first value it had comes back.
  void set(const std::string& name, const char* value);

 private:
  std::vector<std::pair<std::string, std::optional<std::string>>> saved_;
};

}  // namespace zelvo::test
