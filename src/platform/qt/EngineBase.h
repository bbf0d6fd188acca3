// What both engine adapters share: engine news reaches the UI thread stamped with the stream it
// belongs to, one watch fails a stream that stops making progress, and a recording ends one way.
#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <atomic>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "platform/qt/EngineEvents.h"

namespace zelvo {

class EngineBase : public QObject {
  Q_OBJECT

 public:
  explicit EngineBase(QObject* parent = nullptr);
  ~EngineBase() override;

 protected:
  // The stream in hand changed (a new address, a stop, a failure): news stamped before is dropped.
  void newGeneration() { ++generation_; }
  uint64_t generation() const { return generation_.load(); }

  // From any thread, an engine's own included: runs action on the UI thread unless the
  // generation has moved on by then.
  template <class Action>
  bool postWhileSameStream(Action action) noexcept {
    return postWhileCurrent(this, generation_, std::move(action));
  }
  // Queues a contract event for delivery once the running call has returned.
  void raiseLater(std::function<void()> raiseEvent);

  // The progress watch. While it runs and progressBoundMs() gives a bound, a stream that makes no
  // progress for longer than the bound is lost. progressMade() starts it or starts it over.
  void progressMade() { sinceProgress_.restart(); }
  void stopWatch() { sinceProgress_.invalidate(); }
  bool watching() const { return sinceProgress_.isValid(); }
  // How long the stream as it stands may go without progress; none while nothing is owed.
  virtual std::optional<int64_t> progressBoundMs() const = 0;
  // The bound ran out: the adapter fails the stream or tries it another way.
  virtual void progressLost(int64_t boundMs) = 0;
  // Runs at every tick before the watch is checked.
  virtual void tick() {}
  void startTicking(int intervalMs);
  void stopTicking() { ticks_.stop(); }

  // The recording of the stream in hand: where it goes, empty when none.
  const std::string& recordingPath() const { return recordPath_; }
  void recordingBegan(const std::string& path) { recordPath_ = path; }
  // The caller stopped it: no news follows. Gives the path it had.
  std::string recordingDropped();
  // The recording has gone with its stream, or writing failed: the engine lets go of the file
  // and the caller hears of it, with the problem if any. Never dropped with a stream's news.
  void endRecording(const std::string& problem = "");
  // The engine stops writing to the file; runs once the recording has ended either way.
  virtual void releaseRecorder() {}
  // Raises the contract's own event; runs queued, after endRecording's caller has returned.
  virtual void announceRecordingEnd(const std::string& path, const std::string& problem) = 0;

 private:
  void checkProgress();

  std::atomic<uint64_t> generation_{0};
  QTimer ticks_;
  QElapsedTimer sinceProgress_;
  std::string recordPath_;
};

}  // namespace zelvo
