// The position files bfwz.dat and dqwz.dat, which remember the current row of the station
// list, and the temp folder whose playlists and pages join the station list.
#pragma once

#include <cstdint>

#include "form/Services.h"

namespace zelvo {

inline constexpr const char* kPlayPositionFile = "bfwz.dat";
inline constexpr const char* kScanPositionFile = "dqwz.dat";
inline constexpr const char* kTempFolder = "temp";

class PositionFiles {
 public:
  explicit PositionFiles(Context context) : x_(context) {}

  void LoadPlayPosition();
  void SavePlayPosition(int32_t position);
  void SaveScanPosition(int32_t position);
  void LoadTempPlaylists();

 private:
  void savePosition(const char* fileName, int32_t position);
  Context x_;
};

}  // namespace zelvo
