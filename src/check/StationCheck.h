// The pool that checks a list of stations: up to N headless players at once, each address
// played until media is decoded or its time runs out, counter templates reported unchecked.
#pragma once

#include <array>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "check/CheckInput.h"
#include "check/ProbeRoute.h"
#include "platform/StreamProbe.h"
#include "platform/Timer.h"

namespace zelvo {

enum class Verdict { Live, Dead, Template };

struct StationVerdict {
  Verdict verdict = Verdict::Dead;
  // What was decoded, or why the station is dead, for people.
  std::string detail;
};

struct CheckEnvironment {
  // Makes a player of the given engine; called at most once per engine and slot, when needed.
  std::function<std::unique_ptr<StreamProbe>(ProbeEngine)> makeProbe;
  // Puts a timer under the event loop's care; the timer outlives the check.
  std::function<void(Timer&)> bindTimer;
  // Milliseconds on a clock that never goes back.
  std::function<long long()> nowMs;
};

// Each address is checked once, however many stations share it. A station's time is its
// own: it starts when its address is handed to a player and covers the second engine too.
class StationCheck {
 public:
  StationCheck(std::vector<CheckStation> stations, int jobs, int timeoutMs,
               CheckEnvironment environment);
  ~StationCheck();
  StationCheck(const StationCheck&) = delete;
  StationCheck& operator=(const StationCheck&) = delete;

  // Raised once for every station, in the order their checks end; templates come first.
  std::function<void(size_t station, const StationVerdict&)> onVerdict;
  // Raised once, after the last verdict; never after interrupt().
  std::function<void()> onDone;

  // Reports the templates and starts the first checks. Raises onDone at once when there is
  // nothing to play.
  void start();
  // Abandons every check in progress; no verdict or onDone is raised afterwards.
  void interrupt();

  const std::vector<CheckStation>& stations() const { return stations_; }
  // The distinct addresses to play: templates excluded, an address listed twice counted once.
  size_t addresses() const { return targets_.size(); }
  size_t running() const;

 private:
  struct Slot;
  struct Target {
    std::string address;
    std::vector<size_t> stations;
  };

  void launchWaiting();
  void launch(Slot& slot, size_t target);
  void play(Slot& slot, ProbeEngine engine, int timeoutMs);
  StreamProbe& probeOf(Slot& slot, ProbeEngine engine);
  void cancelProbe(Slot& slot);
  void probeFinished(Slot& slot, ProbeEngine engine, const ProbeResult& result);
  void deadlinePassed(Slot& slot);
  void settle(Slot& slot, StationVerdict verdict);
  void finishIfIdle();

  std::vector<CheckStation> stations_;
  int timeoutMs_;
  CheckEnvironment environment_;
  std::vector<Target> targets_;
  std::vector<size_t> templates_;
  std::vector<std::unique_ptr<Slot>> slots_;
  size_t nextTarget_ = 0;
  bool started_ = false;
  bool stopped_ = false;  // interrupted or done
};

}  // namespace zelvo
