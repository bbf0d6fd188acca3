// The real components with null video and audio outputs, for tests and probes that run
// without a screen or a sound card; or with the picture shown and only the sound silent.
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

inline ComponentOptions silentComponents() {
  ComponentOptions options;
  options.vlcArguments = {"--aout=dummy"};
  options.mpvOptions = {{"ao", "null"}};
  return options;
}

}  // namespace zelvo::test
