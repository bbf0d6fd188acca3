#include "fakes/FakeStreamProbe.h"

#include <algorithm>

namespace zelvo::test {

FakeProbeAnswer FakeProbeEngine::answerFor(const std::string& address) const {
  auto it = answers_.find(address);
  return it == answers_.end() ? otherwise : it->second;
}

FakeStreamProbe::FakeStreamProbe(FakeEventLoop& loop, FakeProbeEngine& engine)
    : loop_(loop), engine_(engine) {
  ++engine_.probesMade;
}

FakeStreamProbe::~FakeStreamProbe() {
  stopRunning();
  ++*generation_;
}

void FakeStreamProbe::stopRunning() {
  if (!running_) return;
  running_ = false;
  --engine_.running;
}

void FakeStreamProbe::start(const std::string& address, int timeoutMs) {
  stopRunning();
  const unsigned generation = ++*generation_;
  engine_.starts.push_back(address + " " + std::to_string(timeoutMs));
  running_ = true;
  ++engine_.running;
  engine_.mostRunning = std::max(engine_.mostRunning, engine_.running);
  const FakeProbeAnswer answer = engine_.answerFor(address);
  if (answer.never) return;
  const long delay = answer.delayMs == kAtTimeout ? timeoutMs : answer.delayMs;
  ProbeResult result{answer.outcome, answer.detail};
  loop_.postAfter(delay, [this, alive = generation_, generation, result] {
    if (*alive != generation) return;
    stopRunning();
    ++*alive;
    finished.raise(result);
  });
}

void FakeStreamProbe::cancel() {
  if (!running_) return;
  ++engine_.cancels;
  stopRunning();
  ++*generation_;
}

}  // namespace zelvo::test
