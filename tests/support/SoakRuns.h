// How often a test that repeats a whole session under load repeats it: a few times in the
// suite, as often as ZELVO_SOAK_RUNS asks for a soak run.
#pragma once

#include <cstdlib>

namespace zelvo::test {

// usual, or the positive number in ZELVO_SOAK_RUNS when it is set.
inline int soakRuns(int usual) {
  const char* asked = std::getenv("ZELVO_SOAK_RUNS");
  if (!asked) return usual;
  char* end = nullptr;
  const long runs = std::strtol(asked, &end, 10);
  return end != asked && *end == '\0' && runs > 0 && runs <= 100000 ? static_cast<int>(runs)
                                                                    : usual;
}

}  // namespace zelvo::test
