#include "check/CheckProgress.h"

#include <cstdio>

namespace zelvo {

namespace {

constexpr long long kRateAfterMs = 1000;

std::string plural(size_t count, const char* one, const char* many) {
  return std::to_string(count) + " " + (count == 1 ? one : many);
}

std::string fixed1(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.1f", value);
  return text;
}

const char* verdictWord(Verdict verdict) {
  switch (verdict) {
    case Verdict::Live:
      return "live";
    case Verdict::Dead:
      return "dead";
    case Verdict::Template:
      return "template";
  }
  return "";
}

}  // namespace

std::string elapsedText(long long milliseconds) {
  if (milliseconds < 60000) return fixed1(static_cast<double>(milliseconds) / 1000.0) + " s";
  const long long seconds = milliseconds / 1000;
  char text[48];
  std::snprintf(text, sizeof text, "%lld m %02lld s", seconds / 60, seconds % 60);
  return text;
}

CheckProgress::CheckProgress(CheckConsole& console, size_t total, std::function<long long()> nowMs)
    : console_(console), nowMs_(std::move(nowMs)), startedAt_(nowMs_()) {
  counts_.total = total;
}

void CheckProgress::begin(size_t addresses, int jobs, int timeoutMs) {
  startedAt_ = nowMs_();
  console_.printLine("checking " + plural(counts_.total, "station", "stations") + " (" +
                     plural(addresses, "address", "addresses") + "), " + std::to_string(jobs) +
                     " at once, at most " + elapsedText(timeoutMs) + " each");
  console_.showStatus(statusText());
}

void CheckProgress::verdict(const CheckStation& station, const StationVerdict& verdict) {
  switch (verdict.verdict) {
    case Verdict::Live:
      ++counts_.live;
      break;
    case Verdict::Dead:
      ++counts_.dead;
      break;
    case Verdict::Template:
      ++counts_.templates;
      break;
  }
  // A terminal shows the stations worth reading; a log gets every one.
  if (!console_.isTerminal() || verdict.verdict != Verdict::Dead) {
    console_.printLine(std::to_string(counts_.done()) + "/" + std::to_string(counts_.total) + " " +
                       verdictWord(verdict.verdict) + "  " + station.name + "  " + station.address +
                       "  (" + verdict.detail + ")");
  }
  console_.showStatus(statusText());
}

void CheckProgress::end(bool interrupted) {
  console_.showStatus(statusText());
  console_.showStatus("");
  const std::string elapsed = elapsedText(nowMs_() - startedAt_);
  std::string text =
      interrupted ? "interrupted after " + std::to_string(counts_.done()) + " of " +
                        plural(counts_.total, "station", "stations") + " in " + elapsed
                  : "checked " + plural(counts_.total, "station", "stations") + " in " + elapsed;
  text += ": " + std::to_string(counts_.live) + " live, " + std::to_string(counts_.dead) + " dead";
  if (counts_.templates > 0) {
    text += ", " + plural(counts_.templates, "template", "templates") + " not checked";
  }
  text += " (" + fixed1(rate()) + " per minute)";
  console_.printLine(text);
}

std::string CheckProgress::statusText() const {
  std::string text = std::to_string(counts_.done()) + "/" + std::to_string(counts_.total) +
                     " done, " + std::to_string(counts_.live) + " live, " +
                     std::to_string(counts_.dead) + " dead";
  // A rate over the first moments says little and jumps about.
  if (nowMs_() - startedAt_ >= kRateAfterMs) text += ", " + fixed1(rate()) + " per minute";
  return text;
}

double CheckProgress::rate() const {
  const long long elapsed = nowMs_() - startedAt_;
  if (elapsed <= 0) return 0;
  return static_cast<double>(counts_.live + counts_.dead) * 60000.0 / static_cast<double>(elapsed);
}

}  // namespace zelvo
