// Where a station list scan spends its time: samples both players and the found-station record
// every few milliseconds and breaks the time down by candidate, player and outcome.
#pragma once

#include <QElapsedTimer>
#include <cstdio>
#include <string>
#include <vector>

namespace zelvo {
class ZelvoApplication;
}

namespace zelvo::bench {

struct Candidate {
  std::string address;
  bool live = false;
};

class ScanTimeline {
 public:
  ScanTimeline(ZelvoApplication& zelvo, const std::vector<Candidate>& candidates)
      : zelvo_(zelvo), candidates_(candidates), starts_(candidates.size()) {}

  // Starts the clock: the user clicks "搜台" now.
  void begin();
  // Reads the players and Text2; call it often while the scan runs.
  void sample();
  // The scan ended now (its last message box showed).
  void end();

  double seconds() const { return endMs_ / 1000.0; }
  double elapsedSeconds() const { return clock_.elapsed() / 1000.0; }
  // What each candidate cost, by kind: time from its start to the next candidate's start.
  void printBreakdown(FILE* out) const;
  // Every change seen, one line each, for a closer look.
  void writeLog(const std::string& path) const;

 private:
  struct Start {
    long startedMs = -1;
    const char* player = "";
    long confirmedMs = -1;
    long nextStartMs = -1;
  };
  void started(int index, const char* player);
  int indexOf(const std::string& address) const;

  ZelvoApplication& zelvo_;
  const std::vector<Candidate>& candidates_;
  std::vector<Start> starts_;
  QElapsedTimer clock_;
  long endMs_ = 0;
  int lastStarted_ = -1;
  std::string lastState_;
  std::string lastText2_;
  std::string wmpUrl_, realSource_;
  std::vector<std::string> log_;
};

}  // namespace zelvo::bench
