#include "check/StationCheck.h"

#include <algorithm>
#include <exception>
#include <unordered_map>

#include "formats/CounterTemplates.h"
#include "formats/StationLines.h"

namespace zelvo {

struct StationCheck::Slot {
  explicit Slot(std::string timerName) : deadline(std::move(timerName), 0, false) {}
  std::array<std::unique_ptr<StreamProbe>, 2> probes;
  Timer deadline;
  bool busy = false;
  size_t target = 0;
  ProbeEngine engine = ProbeEngine::Mpv;
  bool otherTried = false;
  long long startedAt = 0;
  std::string firstDetail;  // what the first engine said, when the other one tries
};

namespace {

std::string secondsText(int milliseconds) {
  const int tenths = (milliseconds + 50) / 100;
  std::string text = std::to_string(tenths / 10);
  if (tenths % 10 != 0) text += "." + std::to_string(tenths % 10);
  return text + " s";
}

std::string describe(ProbeEngine engine, const std::string& detail) {
  const std::string name = engineName(engine);
  return detail.empty() ? name : name + ": " + detail;
}

}  // namespace

StationCheck::StationCheck(std::vector<CheckStation> stations, int jobs, int timeoutMs,
                           CheckEnvironment environment)
    : stations_(std::move(stations)),
      timeoutMs_(std::max(1, timeoutMs)),
      environment_(std::move(environment)) {
  std::unordered_map<std::string, size_t> targetOf;
  for (size_t i = 0; i < stations_.size(); ++i) {
    const std::string& address = stations_[i].address;
    if (isNumberedCounterTemplate(address)) {
      templates_.push_back(i);
      continue;
    }
    auto [it, added] = targetOf.emplace(address, targets_.size());
    if (added) targets_.push_back({address, {}});
    targets_[it->second].stations.push_back(i);
  }
  const size_t slots = std::min(static_cast<size_t>(std::max(1, jobs)), targets_.size());
  for (size_t i = 0; i < slots; ++i) {
    slots_.push_back(std::make_unique<Slot>("checkDeadline" + std::to_string(i)));
    environment_.bindTimer(slots_.back()->deadline);
    Slot* slot = slots_.back().get();
    slot->deadline.tick.connect([this, slot] { deadlinePassed(*slot); });
  }
}

StationCheck::~StationCheck() {
  // The event loop keeps the timers; none may fire once the check is gone.
  for (auto& slot : slots_) slot->deadline.setEnabled(false);
  for (auto& slot : slots_) {
    for (auto& probe : slot->probes) {
      if (probe) probe->cancel();
    }
  }
}

size_t StationCheck::running() const {
  return static_cast<size_t>(
      std::count_if(slots_.begin(), slots_.end(), [](const auto& slot) { return slot->busy; }));
}

void StationCheck::start() {
  if (started_) return;
  started_ = true;
  for (size_t station : templates_) {
    if (stopped_) return;
    if (onVerdict) onVerdict(station, {Verdict::Template, "a counter template: not checked"});
  }
  launchWaiting();
  finishIfIdle();
}

void StationCheck::interrupt() {
  if (stopped_) return;
  stopped_ = true;
  for (auto& slot : slots_) {
    slot->deadline.setEnabled(false);
    if (!slot->busy) continue;
    slot->busy = false;
    cancelProbe(*slot);
  }
}

void StationCheck::launchWaiting() {
  while (!stopped_ && nextTarget_ < targets_.size()) {
    auto free =
        std::find_if(slots_.begin(), slots_.end(), [](const auto& slot) { return !slot->busy; });
    if (free == slots_.end()) return;
    launch(**free, nextTarget_++);
  }
}

void StationCheck::launch(Slot& slot, size_t target) {
  slot.busy = true;
  slot.target = target;
  slot.otherTried = false;
  slot.firstDetail.clear();
  slot.startedAt = environment_.nowMs();
  slot.deadline.setInterval(timeoutMs_);
  slot.deadline.setEnabled(true);
  play(slot, firstEngineFor(targets_[target].address), timeoutMs_);
}

void StationCheck::play(Slot& slot, ProbeEngine engine, int timeoutMs) {
  slot.engine = engine;
  // The players report every failure through their results; one that cannot even be made or
  // started counts as not understanding the address, so the other engine still gets its turn.
  std::string failure;
  try {
    probeOf(slot, engine).start(targets_[slot.target].address, timeoutMs);
    return;
  } catch (const std::exception& problem) {
    failure = problem.what();
  } catch (...) {
    failure = "the player failed";
  }
  if (!slot.otherTried) {
    slot.otherTried = true;
    slot.firstDetail = describe(engine, failure);
    play(slot, otherEngine(engine), timeoutMs);
    return;
  }
  // Settled here without starting the next address: every caller goes on with
  // launchWaiting(), so a long run of such failures loops instead of recursing.
  slot.deadline.setEnabled(false);
  slot.busy = false;
  const StationVerdict verdict{Verdict::Dead, slot.firstDetail + "; " + describe(engine, failure)};
  for (size_t station : targets_[slot.target].stations) {
    if (stopped_) return;
    if (onVerdict) onVerdict(station, verdict);
  }
}

StreamProbe& StationCheck::probeOf(Slot& slot, ProbeEngine engine) {
  auto& probe = slot.probes[static_cast<size_t>(engine)];
  if (!probe) {
    probe = environment_.makeProbe(engine);
    Slot* raw = &slot;
    probe->finished.connect(
        [this, raw, engine](const ProbeResult& result) { probeFinished(*raw, engine, result); });
  }
  return *probe;
}

void StationCheck::cancelProbe(Slot& slot) {
  // A player that could not be made has nothing to cancel.
  if (auto& probe = slot.probes[static_cast<size_t>(slot.engine)]) probe->cancel();
}

void StationCheck::probeFinished(Slot& slot, ProbeEngine engine, const ProbeResult& result) {
  if (stopped_ || !slot.busy || engine != slot.engine) return;
  switch (result.outcome) {
    case ProbeResult::Outcome::Decoded:
      settle(slot, {Verdict::Live, describe(engine, result.detail)});
      return;
    case ProbeResult::Outcome::NotUnderstood: {
      const long long remaining = timeoutMs_ - (environment_.nowMs() - slot.startedAt);
      if (!slot.otherTried && remaining > 0) {
        slot.otherTried = true;
        slot.firstDetail = describe(engine, result.detail);
        play(slot, otherEngine(engine), static_cast<int>(remaining));
        if (!slot.busy) {
          launchWaiting();
          finishIfIdle();
        }
        return;
      }
      break;
    }
    case ProbeResult::Outcome::Dead:
      break;
  }
  std::string detail = describe(engine, result.detail);
  if (!slot.firstDetail.empty()) detail = slot.firstDetail + "; " + detail;
  settle(slot, {Verdict::Dead, detail});
}

void StationCheck::deadlinePassed(Slot& slot) {
  slot.deadline.setEnabled(false);
  if (stopped_ || !slot.busy) return;
  cancelProbe(slot);
  std::string detail = "nothing decoded within " + secondsText(timeoutMs_);
  if (!slot.firstDetail.empty()) detail = slot.firstDetail + "; " + detail;
  settle(slot, {Verdict::Dead, detail});
}

void StationCheck::settle(Slot& slot, StationVerdict verdict) {
  slot.deadline.setEnabled(false);
  slot.busy = false;
  for (size_t station : targets_[slot.target].stations) {
    if (stopped_) return;
    if (onVerdict) onVerdict(station, verdict);
  }
  launchWaiting();
  finishIfIdle();
}

void StationCheck::finishIfIdle() {
  if (stopped_ || nextTarget_ < targets_.size() || running() > 0) return;
  stopped_ = true;
  if (onDone) onDone();
}

}  // namespace zelvo
