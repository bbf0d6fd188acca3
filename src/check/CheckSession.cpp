#include "check/CheckSession.h"

#include <algorithm>
#include <exception>
#include <set>

#include "check/CheckOutput.h"

namespace zelvo {

namespace {

constexpr size_t kShownNotes = 20;

std::string reasonOf(const std::exception& problem) {
  const std::string what = problem.what();
  return what.empty() ? "unknown reason" : what;
}

}  // namespace

CheckSession::CheckSession(CheckSettings settings, CheckPlatform platform)
    : settings_(std::move(settings)), platform_(std::move(platform)) {}

CheckSession::~CheckSession() = default;

void CheckSession::start() {
  CheckConsole& console = platform_.console;
  CheckInput input;
  try {
    input = platform_.readInput(settings_.input);
  } catch (const std::exception& problem) {
    console.printProblem("cannot read " + settings_.input + ": " + reasonOf(problem));
    finish(kCheckFailed);
    return;
  }
  if (!settings_.output.empty()) {
    try {
      probeOutputWritable(platform_.files, settings_.output);
    } catch (const std::exception& problem) {
      console.printProblem("cannot write " + settings_.output + ": " + reasonOf(problem));
      finish(kCheckFailed);
      return;
    }
    outputIsInput_ = platform_.sameFile && platform_.sameFile(settings_.input, settings_.output);
  }
  // A broken playlist can give a note for each of its lines: a screenful says enough.
  const size_t shown = std::min(input.notes.size(), kShownNotes);
  for (size_t i = 0; i < shown; ++i) console.printLine(settings_.input + ": " + input.notes[i]);
  if (input.notes.size() > shown) {
    console.printLine(settings_.input + ": and " + std::to_string(input.notes.size() - shown) +
                      " more like these");
  }

  live_.assign(input.stations.size(), false);
  const size_t total = input.stations.size();
  check_ = std::make_unique<StationCheck>(std::move(input.stations), settings_.jobs,
                                          settings_.timeoutMs, platform_.environment);
  progress_ = std::make_unique<CheckProgress>(console, total, platform_.environment.nowMs);
  check_->onVerdict = [this](size_t station, const StationVerdict& verdict) {
    verdictReached(station, verdict);
  };
  check_->onDone = [this] { checkDone(); };
  lastWrite_ = platform_.environment.nowMs();
  progress_->begin(check_->addresses(), std::max(1, settings_.jobs), settings_.timeoutMs);
  check_->start();
}

void CheckSession::verdictReached(size_t station, const StationVerdict& verdict) {
  progress_->verdict(check_->stations()[station], verdict);
  if (verdict.verdict != Verdict::Live) return;
  live_[station] = true;
  // The input itself is only replaced by a complete check: a partial list would lose stations.
  if (settings_.output.empty() || outputIsInput_) return;
  if (platform_.environment.nowMs() - lastWrite_ < kRewriteEveryMs) return;
  writeOutput();
}

void CheckSession::checkDone() {
  progress_->end(false);
  const bool written = settings_.output.empty() || writeOutput();
  if (written && !settings_.output.empty()) {
    platform_.console.printLine("live stations written to " + settings_.output);
    reportOutput();
  }
  finish(written ? kCheckDone : kCheckFailed);
}

void CheckSession::interrupt() {
  if (finished_) return;
  if (!check_) {
    finish(kCheckInterrupted);
    return;
  }
  check_->interrupt();
  progress_->end(true);
  if (!settings_.output.empty()) {
    if (outputIsInput_) {
      platform_.console.printLine(settings_.output +
                                  " is the list being checked: left as it was, since the check "
                                  "did not end");
    } else if (writeOutput()) {
      platform_.console.printLine("the live stations found so far written to " + settings_.output);
      reportOutput();
    }
  }
  finish(kCheckInterrupted);
}

bool CheckSession::writeOutput() {
  // In the order of the input; a station listed twice is written once.
  std::vector<CheckStation> live;
  std::set<std::pair<std::string, std::string>> written;
  const auto& stations = check_->stations();
  for (size_t i = 0; i < stations.size(); ++i) {
    if (live_[i] && written.emplace(stations[i].name, stations[i].address).second) {
      live.push_back(stations[i]);
    }
  }
  lastWrite_ = platform_.environment.nowMs();
  try {
    lastReport_ = writeCheckOutput(platform_.files, settings_.output, live);
    return true;
  } catch (const std::exception& problem) {
    platform_.console.printProblem("cannot write " + settings_.output + ": " + reasonOf(problem));
    return false;
  }
}

void CheckSession::reportOutput() {
  CheckConsole& console = platform_.console;
  if (!lastReport_.namesLosingCharacters.empty()) {
    console.printLine("written with \"?\" for what a station file cannot hold:");
    for (const std::string& name : lastReport_.namesLosingCharacters) {
      console.printLine("  " + name);
    }
  }
  if (!lastReport_.addressesNotStorable.empty()) {
    console.printLine("live, but left out: their addresses cannot stand on a line of " +
                      settings_.output + ":");
    for (const std::string& station : lastReport_.addressesNotStorable) {
      console.printLine("  " + station);
    }
  }
}

void CheckSession::finish(int status) {
  if (finished_) return;
  finished_ = true;
  if (onFinished) onFinished(status);
}

}  // namespace zelvo
