// The last stations played, newest first, kept across sessions in tv_recent.txt beside the
// library (GBK with CR LF, one "name,address" a line, replaced whole).
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "library/StationRef.h"
#include "platform/Event.h"
#include "platform/TextFiles.h"

namespace zelvo {

inline constexpr const char* kRecentFile = "tv_recent.txt";
inline constexpr size_t kRecentLimit = 20;

class RecentStations {
 public:
  RecentStations(TextFileService& files, std::string path);

  // Reads the file; a missing or broken one gives an empty or shorter list, never a failure.
  void load();
  const std::vector<StationRef>& stations() const { return stations_; }
  // A station the user chose began to play: it moves to the front (once in the list) and the
  // file is written. A file that cannot be written is left to the next time.
  void played(const StationRef& station);
  // The station that played before the current one.
  std::optional<StationRef> previous() const;

  Event<> changed;

 private:
  TextFileService& files_;
  std::string path_;
  std::vector<StationRef> stations_;
};

}  // namespace zelvo
