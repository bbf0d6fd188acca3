// The programme guide of a session: gathers the guide sources (the user's tv_epg.txt, the
// tv_epg_src.txt that --import keeps, the playlists opened now), has the guide reader read them
// for the stations of the list, and answers for a station its channel, its tags and now/next.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "formats/Guide.h"
#include "formats/Playlist.h"
#include "formats/StationLines.h"
#include "guide/GuideFiles.h"
#include "guide/GuideMatching.h"
#include "guide/NowNext.h"
#include "platform/Clock.h"
#include "platform/GuideReader.h"
#include "platform/TextFiles.h"

namespace zelvo {

// Past programmes are kept for the longest catch-up any station has, at least this long, and
// coming ones for kGuideDaysAhead.
inline constexpr int kGuideDaysBack = 1;
inline constexpr int kGuideDaysAhead = 8;

class ProgrammeGuide {
 public:
  ProgrammeGuide(TextFileService& files, std::string appFolder, const Clock& clock);
  ProgrammeGuide(const ProgrammeGuide&) = delete;
  ProgrammeGuide& operator=(const ProgrammeGuide&) = delete;

  // The reader that reads for this guide (null for none); its events come to the guide until
  // another reader, or none, is given. A reader that outlives the guide must be let go first.
  void useReader(GuideReader* reader);
  // A playlist opened in this session: its guides join the sources and its entries' tags and
  // groups are known for the session, before those of tv_epg_map.txt.
  void addPlaylist(const std::vector<PlaylistEntry>& entries,
                   const std::vector<std::string>& guideAddresses);
  // Reads the guide files again and asks the reader for the guides of these stations. False when
  // there is no reader, no source or no station: nothing is read then.
  bool refresh(const std::vector<StationLine>& stations);

  // What the station's playlists said of it: the session's first, then tv_epg_map.txt's, by
  // name and address, then by name alone.
  GuideTags tagsFor(const std::string& name, const std::string& address) const;
  // The groups the station's playlist put it in: the session's, else tv_epg_map.txt's (as the
  // last refresh read it), by name and address.
  const std::vector<std::string>& groupsOf(const std::string& name,
                                           const std::string& address) const;
  const GuideChannel* channelFor(const std::string& name, const std::string& address) const;
  // Now and next at the station's own times: its tvg-shift applied.
  NowNext nowNext(const std::string& name, const std::string& address) const;

  int64_t now() const { return clock_.secondsNow(); }
  // The guides read last: the sources that gave one, their problems.
  const GuideReport& report() const { return report_; }
  // Whether any read gave a guide so far.
  bool read() const { return read_; }
  const std::vector<std::string>& sources() const { return sources_; }

  // Called after each read that finished (whether or not it gave a guide), in the order added.
  void onUpdated(std::function<void()> listener) { updated_.push_back(std::move(listener)); }
  void onProgress(std::function<void(const std::string&)> listener) {
    progress_.push_back(std::move(listener));
  }

 private:
  void finished(const GuideReport& report);
  std::vector<std::string> gatherSources();

  TextFileService& files_;
  std::string appFolder_;
  const Clock& clock_;
  GuideReader* reader_ = nullptr;
  GuideMap sessionTags_;
  GuideMap fileTags_;
  std::vector<std::string> sessionSources_;
  std::vector<std::string> sources_;
  GuideReport report_;
  ChannelIndex index_;
  bool read_ = false;
  std::vector<std::function<void()>> updated_;
  std::vector<std::function<void(const std::string&)>> progress_;
};

}  // namespace zelvo
