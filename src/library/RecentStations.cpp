#include "library/RecentStations.h"

#include <algorithm>

#include "library/StationRefFile.h"
#include "platform/Steps.h"

namespace zelvo {

RecentStations::RecentStations(TextFileService& files, std::string path)
    : files_(files), path_(std::move(path)) {}

void RecentStations::load() {
  StationRefFile file;
  step([&] { file = readStationRefFile(files_, path_); });
  stations_.clear();
  for (StationRef& station : file.stations) {
    if (stations_.size() == kRecentLimit) break;
    if (std::find(stations_.begin(), stations_.end(), station) == stations_.end())
      stations_.push_back(std::move(station));
  }
  changed.raise();
}

void RecentStations::played(const StationRef& station) {
  if (!fitsStationRefFile(station)) return;
  const auto found = std::find(stations_.begin(), stations_.end(), station);
  if (found == stations_.begin() && found != stations_.end()) return;
  if (found != stations_.end()) stations_.erase(found);
  stations_.insert(stations_.begin(), station);
  if (stations_.size() > kRecentLimit) stations_.resize(kRecentLimit);
  step([&] { writeStationRefFile(files_, path_, stations_, {}); });
  changed.raise();
}

std::optional<StationRef> RecentStations::previous() const {
  if (stations_.size() < 2) return std::nullopt;
  return stations_[1];
}

}  // namespace zelvo
