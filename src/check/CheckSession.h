// One run of the station check from start to end: reads the input, makes sure the output can
// be written, checks every station, shows progress, and writes the live stations whole, at
// the end, now and then while it runs, and when it is interrupted.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "check/CheckConsole.h"
#include "check/CheckOutput.h"
#include "check/CheckProgress.h"
#include "check/StationCheck.h"
#include "platform/TextFiles.h"

namespace zelvo {

// Exit statuses of a check: done, could not be done, interrupted (as a shell reports SIGINT).
inline constexpr int kCheckDone = 0;
inline constexpr int kCheckFailed = 1;
inline constexpr int kCheckInterrupted = 130;

// While it runs, the output is written again once this long has passed since the last time and
// more live stations have been found, so that a killed check loses little.
inline constexpr long long kRewriteEveryMs = 10000;

struct CheckSettings {
  std::string input;
  std::string output;  // empty: the live stations are only counted and listed
  int jobs = 1;
  int timeoutMs = 10000;
};

struct CheckPlatform {
  TextFileService& files;
  CheckConsole& console;
  CheckEnvironment environment;
  // Reads the stations of the input, a station file or a playlist. Throws PlatformFailure.
  std::function<CheckInput(const std::string& path)> readInput;
  // Whether two paths name the same file; false when either does not exist.
  std::function<bool(const std::string&, const std::string&)> sameFile;
};

class CheckSession {
 public:
  CheckSession(CheckSettings settings, CheckPlatform platform);
  ~CheckSession();
  CheckSession(const CheckSession&) = delete;
  CheckSession& operator=(const CheckSession&) = delete;

  // Raised once when the run is over, with its exit status.
  std::function<void(int status)> onFinished;

  // Reads the input and starts checking. A run that cannot start says why and finishes at
  // once with kCheckFailed.
  void start();
  // Ctrl+C: stops every player, writes the live stations found so far, and finishes.
  void interrupt();

  bool finished() const { return finished_; }

 private:
  void verdictReached(size_t station, const StationVerdict& verdict);
  void checkDone();
  // Writes the live stations found so far; false (after saying why) when it could not.
  bool writeOutput();
  // What the last write could not keep as it was, said once at the end.
  void reportOutput();
  void finish(int status);

  CheckSettings settings_;
  CheckPlatform platform_;
  std::unique_ptr<StationCheck> check_;
  std::unique_ptr<CheckProgress> progress_;
  std::vector<bool> live_;
  OutputReport lastReport_;
  bool outputIsInput_ = false;
  long long lastWrite_ = 0;
  bool finished_ = false;
};

}  // namespace zelvo
