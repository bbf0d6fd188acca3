#include "scan_timeline.h"

#include <algorithm>
#include <fstream>
#include <map>
#include <tuple>

#include "program/Composition.h"
#include "platform/mpv/MpvRealPlayer.h"
#include "platform/vlc/VlcWindowsMediaPlayer.h"

namespace zelvo::bench {

namespace {
constexpr const char* kPrimary = "libVLC";
constexpr const char* kFallback = "libmpv";
}  // namespace

// What the players and Text2 hold from an earlier scan is no news of this one.
void ScanTimeline::begin() {
  clock_.start();
  try {
    wmpUrl_ = zelvo_.primaryPlayer().URL();
    realSource_ = zelvo_.fallbackPlayer().source();
    lastText2_ = zelvo_.window().controls().Text2.text();
  } catch (const std::exception&) {
  }
}

int ScanTimeline::indexOf(const std::string& address) const {
  for (size_t i = 0; i < candidates_.size(); ++i) {
    if (candidates_[i].address == address) return static_cast<int>(i);
  }
  return -1;
}

void ScanTimeline::started(int index, const char* player) {
  if (index < 0) return;
  const long now = clock_.elapsed();
  if (starts_[index].startedMs < 0) {
    starts_[index].startedMs = now;
    starts_[index].player = player;
  }
  if (lastStarted_ >= 0 && lastStarted_ != index && starts_[lastStarted_].nextStartMs < 0) {
    starts_[lastStarted_].nextStartMs = now;
  }
  lastStarted_ = index;
}

void ScanTimeline::sample() {
  std::string wmpUrl, realSource, text2;
  int wmpState = -1, realState = -1;
  try {
    wmpUrl = zelvo_.primaryPlayer().URL();
    wmpState = zelvo_.primaryPlayer().playState();
    realSource = zelvo_.fallbackPlayer().source();
    realState = zelvo_.fallbackPlayer().playState();
    text2 = zelvo_.window().controls().Text2.text();
  } catch (const std::exception&) {
    return;
  }
  if (wmpUrl != wmpUrl_ && !wmpUrl.empty()) started(indexOf(wmpUrl), kPrimary);
  if (realSource != realSource_ && !realSource.empty()) started(indexOf(realSource), kFallback);
  wmpUrl_ = wmpUrl;
  realSource_ = realSource;
  if (text2 != lastText2_ && !text2.empty()) {
    for (size_t i = 0; i < candidates_.size(); ++i) {
      if (text2.find("," + candidates_[i].address + ",") != std::string::npos &&
          starts_[i].confirmedMs < 0) {
        starts_[i].confirmedMs = clock_.elapsed();
      }
    }
  }
  lastText2_ = text2;
  const std::string state = "libVLC " + std::to_string(wmpState) + " " + wmpUrl + " | libmpv " +
                            std::to_string(realState) + " " + realSource + " | Text2 " + text2;
  if (state != lastState_) {
    log_.push_back(std::to_string(clock_.elapsed()) + " ms  " + state);
    lastState_ = state;
  }
}

void ScanTimeline::end() {
  sample();
  endMs_ = clock_.elapsed();
  if (lastStarted_ >= 0 && starts_[lastStarted_].nextStartMs < 0) {
    starts_[lastStarted_].nextStartMs = endMs_;
  }
}

void ScanTimeline::printBreakdown(FILE* out) const {
  struct Group {
    int count = 0;
    long total = 0, shortest = -1, longest = 0, toConfirm = 0, afterConfirm = 0;
  };
  std::map<std::tuple<std::string, std::string, std::string>, Group> groups;
  long firstStart = -1;
  int neverStarted = 0;
  for (size_t i = 0; i < candidates_.size(); ++i) {
    const Start& s = starts_[i];
    if (s.startedMs < 0) {
      ++neverStarted;
      continue;
    }
    if (firstStart < 0 || s.startedMs < firstStart) firstStart = s.startedMs;
    const long spent = (s.nextStartMs < 0 ? endMs_ : s.nextStartMs) - s.startedMs;
    Group& g = groups[{candidates_[i].live ? "live" : "dead", s.player,
                       s.confirmedMs >= 0 ? "confirmed" : "not confirmed"}];
    ++g.count;
    g.total += spent;
    g.shortest = g.shortest < 0 ? spent : std::min(g.shortest, spent);
    g.longest = std::max(g.longest, spent);
    if (s.confirmedMs >= 0) {
      g.toConfirm += s.confirmedMs - s.startedMs;
      g.afterConfirm += (s.nextStartMs < 0 ? endMs_ : s.nextStartMs) - s.confirmedMs;
    }
  }
  std::fprintf(out, "  from the click to the first candidate's start: %ld ms\n", firstStart);
  for (const auto& [key, g] : groups) {
    const auto& [kind, player, outcome] = key;
    std::fprintf(out,
                 "  %s, started in %s, %s: %d candidates, %.1f s in all, %ld ms each on "
                 "average (%ld to %ld)",
                 kind.c_str(), player.c_str(), outcome.c_str(), g.count, g.total / 1000.0,
                 g.total / g.count, g.shortest, g.longest);
    if (outcome == "confirmed") {
      std::fprintf(out, "; start to record %ld ms, record to the next start %ld ms",
                   g.toConfirm / g.count, g.afterConfirm / g.count);
    }
    std::fprintf(out, "\n");
  }
  if (neverStarted > 0) std::fprintf(out, "  never started: %d candidates\n", neverStarted);
}

void ScanTimeline::writeLog(const std::string& path) const {
  std::ofstream out(path);
  for (const std::string& line : log_) out << line << "\n";
}

}  // namespace zelvo::bench
