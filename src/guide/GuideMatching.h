// Which guide channel belongs to a station: the playlist's tvg-id first, then its tvg-name
// among the channels' display names, then the station's own name among them.
#pragma once

#include <string>
#include <unordered_map>
#include <vector>

#include "formats/Guide.h"
#include "platform/GuideReader.h"

namespace zelvo {

// A station with the tags its playlist gave (maybe none).
struct StationTags {
  std::string name;
  std::string address;
  GuideTags tags;
};

// Looks channels up by id and by normalized display name. Holds pointers into the channels
// given, which must outlive it unchanged.
class ChannelIndex {
 public:
  ChannelIndex() = default;
  explicit ChannelIndex(const std::vector<GuideChannel>& channels);
  // The station's channel, or null.
  const GuideChannel* find(const std::string& stationName, const GuideTags& tags) const;

 private:
  std::unordered_map<std::string, const GuideChannel*> byId_;
  std::unordered_map<std::string, const GuideChannel*> byName_;  // the first channel a name
};

// What a guide read must keep for these stations: their tvg-ids, and their tvg-names and own
// names as normalizeGuideName gives them.
GuideWanted wantedFor(const std::vector<StationTags>& stations);

}  // namespace zelvo
