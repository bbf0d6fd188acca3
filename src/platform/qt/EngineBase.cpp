// The shared part of the engine adapters: the tick that drives the progress watch, and the end
// of a recording.
#include "platform/qt/EngineBase.h"

namespace zelvo {

EngineBase::EngineBase(QObject* parent) : QObject(parent) {
  connect(&ticks_, &QTimer::timeout, this, [this] { checkProgress(); });
}

EngineBase::~EngineBase() = default;

void EngineBase::raiseLater(std::function<void()> raiseEvent) {
  postGuarded(this, std::move(raiseEvent));
}

void EngineBase::startTicking(int intervalMs) {
  ticks_.setInterval(intervalMs);
  ticks_.start();
}

void EngineBase::checkProgress() {
  try {
    tick();
    if (!watching()) return;
    const std::optional<int64_t> bound = progressBoundMs();
    if (bound && sinceProgress_.elapsed() > *bound) progressLost(*bound);
  } catch (...) {
    // A failing engine call skips this tick; the next one looks again.
  }
}

std::string EngineBase::recordingDropped() {
  std::string path;
  path.swap(recordPath_);
  return path;
}

void EngineBase::endRecording(const std::string& problem) {
  if (recordPath_.empty()) return;
  const std::string path = recordingDropped();
  releaseRecorder();
  raiseLater([this, path, problem] { announceRecordingEnd(path, problem); });
}

}  // namespace zelvo
