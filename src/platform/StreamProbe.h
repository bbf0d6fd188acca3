// A headless player that tells whether an address delivers media: it plays the address with
// its pictures and sound thrown away until a decoder has produced some, or until it gives up.
#pragma once

#include <string>

#include "platform/Event.h"

namespace zelvo {

struct ProbeResult {
  enum class Outcome {
    // A decoder produced pictures or sound: more than a connection, more than a header.
    Decoded,
    // Nothing playable came: refused, not found, silent, cut off, or out of time.
    Dead,
    // Something came, but this engine could not make media of it (an unknown format or
    // protocol); another engine may.
    NotUnderstood,
  };
  Outcome outcome = Outcome::Dead;
  // For people: what was decoded, or why nothing was.
  std::string detail;
};

// How results are delivered: finished is raised exactly once for every start(), on the thread
// that called start(), after start() has returned (never from inside a call), at the latest
// about timeoutMs after the start. A start() while a probe runs abandons that probe first.
class StreamProbe {
 public:
  virtual ~StreamProbe() = default;
  virtual void start(const std::string& address, int timeoutMs) = 0;
  // Abandons the probe in progress: nothing more is raised for it. Does nothing when idle.
  virtual void cancel() = 0;

  Event<ProbeResult> finished;
};

}  // namespace zelvo
