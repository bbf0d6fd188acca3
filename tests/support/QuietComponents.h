// The real components with null video and audio outputs, for tests and probes that run
// without a screen or a sound card.
#pragma once

#include "program/Composition.h"

namespace zelvo::test {

inline ComponentOptions quietComponents(int watchdogMs = 15000) {
  ComponentOptions options;
  options.watchdogMs = watchdogMs;
  options.vlcArguments = {"--vout=dummy", "--aout=dummy"};
  options.mpvOptions = {{"vo", "null"}, {"ao", "null"}};
  return options;
}

}  // namespace zelvo::test
