// The guide's files beside the library: tv_epg_map.txt (per station, the guide tags its
// playlist gave), tv_epg_src.txt (the guides that --import met) and the user's tv_epg.txt (guide
// addresses or local paths, which Zelvo only reads). All GBK with CR LF, replaced whole.
#pragma once

#include <string>
#include <unordered_map>
#include <vector>

#include "formats/Playlist.h"
#include "guide/GuideMatching.h"
#include "platform/TextFiles.h"

namespace zelvo {

inline constexpr const char* kGuideMapFile = "tv_epg_map.txt";
inline constexpr const char* kGuideSourcesFile = "tv_epg_src.txt";
inline constexpr const char* kUserGuidesFile = "tv_epg.txt";

// The groups a playlist put a station in (group-title, #EXTGRP).
struct GroupedStation {
  std::string name;
  std::string address;
  std::vector<std::string> groups;
};

// The tags and the groups of stations, keyed by name and address, in the order they were first
// recorded.
class GuideMap {
 public:
  // Records the station's tags; true when that changed what was recorded.
  bool set(const GuideStation& station);
  const GuideTags* find(const std::string& name, const std::string& address) const;
  // The tags of the first station recorded with this name.
  const GuideTags* findByName(const std::string& name) const;
  const std::vector<GuideStation>& stations() const { return stations_; }

  // Records the station's groups (none forgets them); true when that changed what was recorded.
  bool setGroups(const GroupedStation& station);
  // The station's groups; empty when none were recorded.
  const std::vector<std::string>& groupsOf(const std::string& name,
                                           const std::string& address) const;
  const std::vector<GroupedStation>& groupedStations() const { return grouped_; }

 private:
  std::vector<GuideStation> stations_;
  std::unordered_map<std::string, size_t> byKey_;
  std::unordered_map<std::string, size_t> byName_;
  std::vector<GroupedStation> grouped_;
  std::unordered_map<std::string, size_t> groupsByKey_;
};

// The text files read a line up to this many bytes; a longer one would not read back.
inline constexpr size_t kMaxGuideMapLineBytes = 1 << 20;

// One station a line: name, address, tvg-id, tvg-name, tvg-logo, catchup, catchup-source,
// catchup-days, then tvg-shift and catchup-correction in hours where either is not 0, separated
// by tabs (no field can hold one). Lines that are not of this form are passed over. A missing
// file reads as empty; one that cannot be read fails (PlatformFailure).
GuideMap readGuideMap(TextFileService& files, const std::string& path);
void writeGuideMap(TextFileService& files, const std::string& path, const GuideMap& map);

struct GuideTagsRecorded {
  int changed = 0;  // stations whose tags changed
  int grouped = 0;  // stations whose groups changed
  // "name: tag (N bytes)" for each value left out because its line would not read back.
  std::vector<std::string> refused;
};

// Records the tags and the groups of the entries that have any, keyed as the library stores
// their names and addresses; entries whose address the file cannot hold are left out, as the
// library leaves them. A value that would make its line longer than kMaxGuideMapLineBytes is left
// out (the longest first). Writes the file only when that changed it. Fails (PlatformFailure) when
// the file cannot be read or replaced: it stays as it was.
GuideTagsRecorded recordGuideTags(TextFileService& files, const std::string& path,
                                  const std::vector<PlaylistEntry>& entries);

// The addresses of a list of guides, one a line: blanks around a line, empty lines, lines
// starting with "#" and repeats are passed over. A missing file reads as empty.
std::vector<std::string> readGuideSources(TextFileService& files, const std::string& path);
// Adds the addresses that the file does not hold yet, writing it only then. Returns how many
// were added. Fails like recordGuideTags.
int recordGuideSources(TextFileService& files, const std::string& path,
                       const std::vector<std::string>& addresses);

}  // namespace zelvo
