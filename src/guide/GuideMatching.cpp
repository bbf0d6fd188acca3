#include "guide/GuideMatching.h"

namespace zelvo {

ChannelIndex::ChannelIndex(const std::vector<GuideChannel>& channels) {
  for (const GuideChannel& channel : channels) {
    if (!channel.id.empty()) byId_.emplace(channel.id, &channel);
    for (const std::string& name : channel.displayNames) {
      const std::string key = normalizeGuideName(name);
      if (!key.empty()) byName_.emplace(key, &channel);
    }
  }
}

const GuideChannel* ChannelIndex::find(const std::string& stationName,
                                       const GuideTags& tags) const {
  if (!tags.tvgId.empty()) {
    const auto found = byId_.find(tags.tvgId);
    if (found != byId_.end()) return found->second;
  }
  for (const std::string* name : {&tags.tvgName, &stationName}) {
    const std::string key = normalizeGuideName(*name);
    if (key.empty()) continue;
    const auto found = byName_.find(key);
    if (found != byName_.end()) return found->second;
  }
  return nullptr;
}

GuideWanted wantedFor(const std::vector<StationTags>& stations) {
  GuideWanted wanted;
  for (const StationTags& station : stations) {
    if (!station.tags.tvgId.empty()) wanted.ids.insert(station.tags.tvgId);
    for (const std::string* name : {&station.tags.tvgName, &station.name}) {
      std::string key = normalizeGuideName(*name);
      if (!key.empty()) wanted.names.insert(std::move(key));
    }
  }
  return wanted;
}

}  // namespace zelvo
