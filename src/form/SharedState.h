// The state the main window shares between its subsystems for the life of the process.
#pragma once

#include <cstdint>
#include <string>

namespace zelvo {

namespace WorkMode {
constexpr int16_t Playing = 10;
constexpr int16_t ListScan = -10;
}  // namespace WorkMode

// The player started last. The position file stores it as the text playerKindText gives.
enum class PlayerKind {
  None,  // nothing played since start-up: the position file keeps what it held
  Win,   // "win": the primary player, WindowsMediaPlayer1
  Real,  // "real": the fallback player, RealAudio1
};

inline const char* playerKindText(PlayerKind kind) {
  switch (kind) {
    case PlayerKind::Win:
      return "win";
    case PlayerKind::Real:
      return "real";
    case PlayerKind::None:
      break;
  }
  return "";
}

struct SharedState {
  int16_t workMode = 0;
  int32_t stationPosition = 0;
  PlayerKind playerKind = PlayerKind::None;
  std::string pendingAddress;
  std::string currentAddress;
  bool playbackStopped = false;
  std::string lastTemplate;
  int16_t playingCount = 0;
};

}  // namespace zelvo
