#include "platform/xmltv/GuideCollection.h"

#include <algorithm>

namespace zelvo {

GuideCollection::GuideCollection(int64_t keepFrom, int64_t keepUntil, int maxProgrammesPerChannel)
    : keepFrom_(keepFrom),
      keepUntil_(keepUntil),
      maxProgrammes_(static_cast<size_t>(std::max(1, maxProgrammesPerChannel))) {}

GuideChannel& GuideCollection::channel(const std::string& id) {
  const auto [at, added] = index_.emplace(id, channels_.size());
  if (added) channels_.push_back(GuideChannel{id, {}, {}, {}});
  return channels_[at->second];
}

void GuideCollection::addChannel(const GuideChannel& given) {
  GuideChannel& kept = channel(given.id);
  for (const std::string& name : given.displayNames) {
    if (std::find(kept.displayNames.begin(), kept.displayNames.end(), name) ==
        kept.displayNames.end()) {
      kept.displayNames.push_back(name);
    }
  }
  if (kept.icon.empty()) kept.icon = given.icon;
}

bool GuideCollection::inWindow(int64_t start, int64_t stop) const {
  // A programme whose end is not known yet is judged by its start alone.
  if (stop != 0 && stop <= keepFrom_) return false;
  return keepUntil_ <= 0 || start < keepUntil_;
}

bool GuideCollection::full(const std::string& channelId) const {
  const auto found = index_.find(channelId);
  return found != index_.end() && channels_[found->second].programmes.size() >= maxProgrammes_;
}

bool GuideCollection::addProgramme(const std::string& channelId, Programme programme) {
  GuideChannel& kept = channel(channelId);
  if (kept.programmes.size() >= maxProgrammes_) return false;
  kept.programmes.push_back(std::move(programme));
  return true;
}

std::vector<GuideChannel> GuideCollection::take(int& dropped) {
  for (GuideChannel& channel : channels_) {
    auto& programmes = channel.programmes;
    std::stable_sort(programmes.begin(), programmes.end(),
                     [](const Programme& a, const Programme& b) { return a.start < b.start; });
    std::vector<Programme> kept;
    kept.reserve(programmes.size());
    for (size_t i = 0; i < programmes.size(); ++i) {
      Programme& programme = programmes[i];
      if (!kept.empty() && kept.back().start == programme.start) continue;
      size_t following = i + 1;
      while (following < programmes.size() && programmes[following].start == programme.start) {
        ++following;
      }
      if (following < programmes.size()) {
        const int64_t nextStart = programmes[following].start;
        if (programme.stop == 0 || programme.stop > nextStart) programme.stop = nextStart;
      }
      if (programme.stop == 0) {
        ++dropped;
        continue;
      }
      if (programme.stop <= keepFrom_) continue;
      kept.push_back(std::move(programme));
    }
    programmes = std::move(kept);
  }
  index_.clear();
  return std::move(channels_);
}

}  // namespace zelvo
