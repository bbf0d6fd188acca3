#include "guide/ProgrammeGuide.h"

#include <algorithm>
#include <cstdlib>

#include "formats/PlaylistEntries.h"
#include "guide/CatchupAddress.h"
#include "platform/Steps.h"

namespace zelvo {

namespace {

constexpr int64_t kSecondsADay = 24 * 60 * 60;

void addOnce(std::vector<std::string>& list, const std::string& item) {
  if (!item.empty() && std::find(list.begin(), list.end(), item) == list.end())
    list.push_back(item);
}

}  // namespace

ProgrammeGuide::ProgrammeGuide(TextFileService& files, std::string appFolder, const Clock& clock)
    : files_(files), appFolder_(std::move(appFolder)), clock_(clock) {}

void ProgrammeGuide::useReader(GuideReader* reader) {
  if (reader_) {
    reader_->finished.connect(std::function<void(const GuideReport&)>());
    reader_->progressed.connect(std::function<void(const std::string&)>());
  }
  reader_ = reader;
  if (!reader_) return;
  reader_->finished.connect([this](const GuideReport& report) { finished(report); });
  reader_->progressed.connect([this](const std::string& line) {
    for (const auto& listener : progress_) listener(line);
  });
}

void ProgrammeGuide::addPlaylist(const std::vector<PlaylistEntry>& entries,
                                 const std::vector<std::string>& guideAddresses) {
  for (const PlaylistEntry& entry : entries) {
    if (!entry.guide.empty()) sessionTags_.set({entry.name, entry.address, entry.guide});
    if (!entry.group.empty())
      sessionTags_.setGroups({entry.name, entry.address, playlistGroups(entry.group)});
  }
  for (const std::string& address : guideAddresses) addOnce(sessionSources_, address);
}

std::vector<std::string> ProgrammeGuide::gatherSources() {
  std::vector<std::string> sources;
  // A file that cannot be read gives no sources; the others still count.
  for (const char* file : {kUserGuidesFile, kGuideSourcesFile}) {
    step([&] {
      for (const std::string& source : readGuideSources(files_, appFolder_ + "/" + file))
        addOnce(sources, source);
    });
  }
  for (const std::string& source : sessionSources_) addOnce(sources, source);
  return sources;
}

bool ProgrammeGuide::refresh(const std::vector<StationLine>& stations) {
  step([&] { fileTags_ = readGuideMap(files_, appFolder_ + "/" + kGuideMapFile); });
  sources_ = gatherSources();
  if (!reader_ || sources_.empty()) return false;

  std::vector<GuideStation> wanted;
  int longestCatchup = kGuideDaysBack;
  int64_t longestShift = 0;  // a shifted station shows guide times from further away
  for (const StationLine& station : stations) {
    if (isSeparatorRow(station)) continue;
    GuideStation entry{station.name, station.address, tagsFor(station.name, station.address)};
    longestCatchup = std::max(longestCatchup, catchupDays(entry.tags));
    longestShift = std::max<int64_t>(longestShift, std::abs(int64_t{entry.tags.tvgShift}));
    wanted.push_back(std::move(entry));
  }
  if (wanted.empty()) return false;

  GuideRequest request;
  request.sources = sources_;
  request.wanted = wantedFor(wanted);
  const int64_t now = clock_.secondsNow();
  request.now = now;
  request.keepFrom = now - longestCatchup * kSecondsADay - longestShift;
  request.keepUntil = now + kGuideDaysAhead * kSecondsADay + longestShift;
  reader_->read(request);
  return true;
}

void ProgrammeGuide::finished(const GuideReport& report) {
  // A read that gave no guide at all keeps the programmes of the last one that did.
  if (report.sourcesRead > 0 || !read_) {
    report_ = report;
    index_ = ChannelIndex(report_.channels);
    read_ = read_ || report.sourcesRead > 0;
  } else {
    report_.problems = report.problems;
    report_.skipped = report.skipped;
  }
  const auto listeners = updated_;
  for (const auto& listener : listeners) listener();
}

GuideTags ProgrammeGuide::tagsFor(const std::string& name, const std::string& address) const {
  for (const GuideMap* map : {&sessionTags_, &fileTags_}) {
    if (const GuideTags* tags = map->find(name, address)) return *tags;
  }
  for (const GuideMap* map : {&sessionTags_, &fileTags_}) {
    if (const GuideTags* tags = map->findByName(name)) return *tags;
  }
  return {};
}

const std::vector<std::string>& ProgrammeGuide::groupsOf(const std::string& name,
                                                         const std::string& address) const {
  const std::vector<std::string>& session = sessionTags_.groupsOf(name, address);
  return session.empty() ? fileTags_.groupsOf(name, address) : session;
}

const GuideChannel* ProgrammeGuide::channelFor(const std::string& name,
                                               const std::string& address) const {
  if (name.empty()) return nullptr;
  return index_.find(name, tagsFor(name, address));
}

NowNext ProgrammeGuide::nowNext(const std::string& name, const std::string& address) const {
  if (name.empty()) return {};
  const GuideTags tags = tagsFor(name, address);
  const GuideChannel* channel = index_.find(name, tags);
  if (!channel) return {};
  return nowAndNext(channel->programmes, clock_.secondsNow(), tags.tvgShift);
}

}  // namespace zelvo
