// The station files: appending a file's stations to the station list, and storing the
// current station in the library tv_lib.txt by score.
#pragma once

#include "form/Services.h"

namespace zelvo {

inline constexpr const char* kLibraryFile = "tv_lib.txt";
inline constexpr const char* kScanResultFile = "tv_lib_ss_jg.txt";
inline constexpr const char* kWebResultFile = "tv_lib_ss_www.txt";
inline constexpr const char* kCandidateFile = "tv_lib_ss.txt";
inline constexpr const char* kDefaultResultFile = "tv_lib_ss_jg_y.txt";
inline constexpr const char* kLoadEchoFile = "wjmxd";

class StationFiles {
 public:
  explicit StationFiles(Context context) : x_(context) {}

  // Appends the stations of fileName (in the application folder) after a separator row,
  // and echoes each added row into wjmxd. Lets pending events run once per line.
  void LoadStationFile(const std::string& fileName);
  // Writes the current name and address into the library with a lowered score.
  void StoreCurrentStation();

 private:
  Context x_;
};

}  // namespace zelvo
