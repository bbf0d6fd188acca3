// Headless players for behaviour tests of the station check: each engine answers every address
// as the test arranged, after a delay on the virtual clock, and counts what it was asked.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "fakes/FakeEventLoop.h"
#include "platform/StreamProbe.h"

namespace zelvo::test {

// What an engine does with an address.
struct FakeProbeAnswer {
  ProbeResult::Outcome outcome = ProbeResult::Outcome::Dead;
  // Virtual milliseconds from the start; kAtTimeout: when the time given to start() is up.
  long delayMs = 0;
  bool never = false;  // the engine never answers, not even when its time is up
  std::string detail;
};

inline constexpr long kAtTimeout = -1;

inline FakeProbeAnswer decodedAfter(long delayMs, std::string detail = {}) {
  return {ProbeResult::Outcome::Decoded, delayMs, false, std::move(detail)};
}
inline FakeProbeAnswer deadAfter(long delayMs, std::string detail = {}) {
  return {ProbeResult::Outcome::Dead, delayMs, false, std::move(detail)};
}
inline FakeProbeAnswer notUnderstoodAfter(long delayMs, std::string detail = {}) {
  return {ProbeResult::Outcome::NotUnderstood, delayMs, false, std::move(detail)};
}
inline FakeProbeAnswer neverAnswers() { return {ProbeResult::Outcome::Dead, 0, true, {}}; }

// One engine, shared by all probes made for it: the answers it gives and what it was asked.
class FakeProbeEngine {
 public:
  explicit FakeProbeEngine(std::string name) : name_(std::move(name)) {}
  void answer(const std::string& address, FakeProbeAnswer answer) { answers_[address] = answer; }
  // For every address without an answer of its own.
  FakeProbeAnswer otherwise;
  FakeProbeAnswer answerFor(const std::string& address) const;

  const std::string& name() const { return name_; }
  // "address timeoutMs" for every start, in order.
  std::vector<std::string> starts;
  int cancels = 0;
  int probesMade = 0;
  int running = 0;
  int mostRunning = 0;  // the most probes of this engine that ran at the same time

 private:
  std::string name_;
  std::map<std::string, FakeProbeAnswer> answers_;
};

class FakeStreamProbe : public StreamProbe {
 public:
  FakeStreamProbe(FakeEventLoop& loop, FakeProbeEngine& engine);
  ~FakeStreamProbe() override;
  void start(const std::string& address, int timeoutMs) override;
  void cancel() override;

 private:
  void stopRunning();
  FakeEventLoop& loop_;
  FakeProbeEngine& engine_;
  // Shared with the answers on their way, which look whether they still belong to a probe.
  std::shared_ptr<unsigned> generation_ = std::make_shared<unsigned>(0);
  bool running_ = false;
};

}  // namespace zelvo::test
