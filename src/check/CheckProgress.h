// What a check tells while it runs and when it ends: on a terminal a status line (done of
// total, live, dead, rate) with the live stations and templates above it; elsewhere one plain
// line per station. Then a summary.
#pragma once

#include <functional>
#include <string>

#include "check/CheckConsole.h"
#include "check/StationCheck.h"

namespace zelvo {

struct CheckCounts {
  size_t total = 0;
  size_t live = 0;
  size_t dead = 0;
  size_t templates = 0;
  size_t done() const { return live + dead + templates; }
};

class CheckProgress {
 public:
  CheckProgress(CheckConsole& console, size_t total, std::function<long long()> nowMs);

  void begin(size_t addresses, int jobs, int timeoutMs);
  void verdict(const CheckStation& station, const StationVerdict& verdict);
  // The last status, then the summary line.
  void end(bool interrupted);

  const CheckCounts& counts() const { return counts_; }

 private:
  std::string statusText() const;
  // Checked stations (live or dead) per minute so far.
  double rate() const;

  CheckConsole& console_;
  std::function<long long()> nowMs_;
  long long startedAt_;
  CheckCounts counts_;
};

// "1 m 05 s", "12.3 s".
std::string elapsedText(long long milliseconds);

}  // namespace zelvo
