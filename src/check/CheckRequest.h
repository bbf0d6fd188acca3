// What "zelvo --check" is asked to do: the station file or playlist to check, how many stations
// are checked at once, how long each may take, and where the live ones are written.
#pragma once

#include <string>

namespace zelvo {

struct CheckRequest {
  std::string input;
  int jobs = 0;  // 0: one for each processor core
  double timeoutSeconds = 10;
  std::string output;  // empty: the live stations are only counted
};

}  // namespace zelvo
