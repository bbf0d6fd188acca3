// The state the main window shares between its subsystems for the life of the process.
#pragma once

#include <cstdint>
#include <string>

namespace zelvo {

namespace WorkMode {
constexpr int16_t Playing = 10;
constexpr int16_t ListScan = -10;
}  // namespace WorkMode

struct SharedState {
  int16_t workMode = 0;
  int32_t stationPosition = 0;
  std::string playerKind;  // "win" or "real": the player started last
  std::string pendingAddress;
  std::string currentAddress;
  bool playbackStopped = false;
  std::string lastTemplate;
  int16_t playingCount = 0;
};

}  // namespace zelvo
