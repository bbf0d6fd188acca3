#include "guide/GuideFiles.h"

#include <algorithm>
#include <iterator>
#include <memory>
#include <optional>
#include <utility>

#include "formats/GuideShift.h"
#include "formats/PlaylistEntries.h"

namespace zelvo {

namespace {

// Older files hold no shifts: eight fields. A line with shifts holds ten.
constexpr size_t kMapFieldsWithoutShifts = 8;
constexpr size_t kMapFields = 10;
// A line of groups: name, address, the groups.
constexpr size_t kGroupFields = 3;

std::string keyOf(const std::string& name, const std::string& address) {
  return name + '\n' + address;
}

bool sameTags(const GuideTags& a, const GuideTags& b) {
  return a.tvgId == b.tvgId && a.tvgName == b.tvgName && a.tvgLogo == b.tvgLogo &&
         a.catchup == b.catchup && a.catchupSource == b.catchupSource &&
         a.catchupDays == b.catchupDays && a.tvgShift == b.tvgShift &&
         a.catchupCorrection == b.catchupCorrection;
}

bool readShift(const std::string& text, int& seconds) {
  if (text.empty()) return true;
  const std::optional<int> read = parseShiftHours(text);
  if (read) seconds = *read;
  return read.has_value();
}

std::string mapLine(const GuideStation& s) {
  const GuideTags& t = s.tags;
  std::string line = s.name + '\t' + s.address + '\t' + t.tvgId + '\t' + t.tvgName + '\t' +
                     t.tvgLogo + '\t' + t.catchup + '\t' + t.catchupSource + '\t' +
                     (t.catchupDays > 0 ? std::to_string(t.catchupDays) : "");
  // Without shifts the line stays as older files hold it.
  if (t.tvgShift != 0 || t.catchupCorrection != 0)
    line += '\t' + (t.tvgShift != 0 ? formatShiftHours(t.tvgShift) : "") + '\t' +
            (t.catchupCorrection != 0 ? formatShiftHours(t.catchupCorrection) : "");
  return line;
}

std::string groupLine(const GroupedStation& s) {
  std::string groups;
  for (const std::string& group : s.groups) groups += (groups.empty() ? "" : ";") + group;
  return s.name + '\t' + s.address + '\t' + groups;
}

// At least the bytes the line takes in the file: a character beyond ASCII takes at most four.
size_t storedBytesAtMost(const std::string& line) {
  size_t bytes = 0;
  for (const char ch : line) {
    const auto byte = static_cast<unsigned char>(ch);
    if (byte < 0x80) ++bytes;
    if (byte >= 0xC0) bytes += 4;
  }
  return bytes;
}

// Empties the station's longest tag values until its line fits a line of the file, and says
// which were emptied.
void fitLine(GuideStation& station, std::vector<std::string>& refused) {
  GuideTags& t = station.tags;
  const std::pair<const char*, std::string*> values[] = {{"tvg-id", &t.tvgId},
                                                         {"tvg-name", &t.tvgName},
                                                         {"tvg-logo", &t.tvgLogo},
                                                         {"catchup", &t.catchup},
                                                         {"catchup-source", &t.catchupSource}};
  while (storedBytesAtMost(mapLine(station)) > kMaxGuideMapLineBytes) {
    const auto longest = std::max_element(
        std::begin(values), std::end(values),
        [](const auto& a, const auto& b) { return a.second->size() < b.second->size(); });
    refused.push_back(station.name + ": " + longest->first + " (" +
                      std::to_string(longest->second->size()) + " bytes)");
    longest->second->clear();
  }
}

std::vector<std::string> readLines(TextFileService& files, const std::string& path) {
  std::vector<std::string> lines;
  if (!files.fileExists(path)) return lines;
  std::unique_ptr<TextReader> reader = files.openForReading(path);
  while (!reader->atEndOfStream()) lines.push_back(reader->readLine());
  reader->close();
  return lines;
}

void writeLines(TextFileService& files, const std::string& path,
                const std::vector<std::string>& lines) {
  std::unique_ptr<TextWriter> writer = files.createTextFile(path);
  for (const std::string& line : lines) writer->writeLine(line);
  writer->close();
}

std::vector<std::string> splitTabs(const std::string& line) {
  std::vector<std::string> fields;
  size_t start = 0;
  while (true) {
    const size_t tab = line.find('\t', start);
    fields.push_back(line.substr(start, tab - start));
    if (tab == std::string::npos) return fields;
    start = tab + 1;
  }
}

bool readDays(const std::string& text, int& days) {
  if (text.empty() || text.size() > 4) return text.empty();
  days = 0;
  for (const char ch : text) {
    if (ch < '0' || ch > '9') return false;
    days = days * 10 + (ch - '0');
  }
  return true;
}

std::string trimmed(const std::string& text) {
  const size_t first = text.find_first_not_of(" \t");
  if (first == std::string::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

}  // namespace

bool GuideMap::set(const GuideStation& station) {
  const std::string key = keyOf(station.name, station.address);
  const auto found = byKey_.find(key);
  if (found != byKey_.end()) {
    GuideTags& recorded = stations_[found->second].tags;
    if (sameTags(recorded, station.tags)) return false;
    recorded = station.tags;
    return true;
  }
  byKey_.emplace(key, stations_.size());
  byName_.emplace(station.name, stations_.size());
  stations_.push_back(station);
  return true;
}

const GuideTags* GuideMap::find(const std::string& name, const std::string& address) const {
  const auto found = byKey_.find(keyOf(name, address));
  return found == byKey_.end() ? nullptr : &stations_[found->second].tags;
}

const GuideTags* GuideMap::findByName(const std::string& name) const {
  const auto found = byName_.find(name);
  return found == byName_.end() ? nullptr : &stations_[found->second].tags;
}

bool GuideMap::setGroups(const GroupedStation& station) {
  const std::string key = keyOf(station.name, station.address);
  const auto found = groupsByKey_.find(key);
  if (found != groupsByKey_.end()) {
    std::vector<std::string>& recorded = grouped_[found->second].groups;
    if (recorded == station.groups) return false;
    recorded = station.groups;
    return true;
  }
  if (station.groups.empty()) return false;
  groupsByKey_.emplace(key, grouped_.size());
  grouped_.push_back(station);
  return true;
}

const std::vector<std::string>& GuideMap::groupsOf(const std::string& name,
                                                   const std::string& address) const {
  static const std::vector<std::string> kNone;
  const auto found = groupsByKey_.find(keyOf(name, address));
  return found == groupsByKey_.end() ? kNone : grouped_[found->second].groups;
}

GuideMap readGuideMap(TextFileService& files, const std::string& path) {
  GuideMap map;
  for (const std::string& line : readLines(files, path)) {
    const std::vector<std::string> f = splitTabs(line);
    if (f.size() == kGroupFields && !f[0].empty() && !f[1].empty()) {
      map.setGroups({f[0], f[1], playlistGroups(f[2])});
      continue;
    }
    if ((f.size() != kMapFields && f.size() != kMapFieldsWithoutShifts) || f[0].empty() ||
        f[1].empty())
      continue;
    GuideStation station{f[0], f[1], {f[2], f[3], f[4], f[5], f[6], 0}};
    if (!readDays(f[7], station.tags.catchupDays)) continue;
    if (f.size() == kMapFields && (!readShift(f[8], station.tags.tvgShift) ||
                                   !readShift(f[9], station.tags.catchupCorrection)))
      continue;
    map.set(station);
  }
  return map;
}

void writeGuideMap(TextFileService& files, const std::string& path, const GuideMap& map) {
  std::vector<std::string> lines;
  lines.reserve(map.stations().size());
  for (const GuideStation& s : map.stations()) lines.push_back(mapLine(s));
  for (const GroupedStation& s : map.groupedStations()) {
    if (!s.groups.empty()) lines.push_back(groupLine(s));
  }
  writeLines(files, path, lines);
}

GuideTagsRecorded recordGuideTags(TextFileService& files, const std::string& path,
                                  const std::vector<PlaylistEntry>& entries) {
  GuideMap map = readGuideMap(files, path);
  GuideTagsRecorded recorded;
  for (const PlaylistEntry& entry : entries) {
    const std::string address = files.textAsStored(entry.address);
    if (address != entry.address) continue;
    if (!entry.group.empty()) {
      GroupedStation station{files.textAsStored(entry.name), address, {}};
      for (const std::string& group : playlistGroups(files.textAsStored(entry.group))) {
        station.groups.push_back(group);
        // A group that would make the line too long to read back is left out.
        if (storedBytesAtMost(groupLine(station)) > kMaxGuideMapLineBytes) {
          station.groups.pop_back();
          recorded.refused.push_back(station.name + ": group (" + std::to_string(group.size()) +
                                     " bytes)");
          break;
        }
      }
      if (!station.groups.empty() && map.setGroups(station)) ++recorded.grouped;
    }
    if (entry.guide.empty()) continue;
    GuideTags tags = entry.guide;
    for (std::string* value :
         {&tags.tvgId, &tags.tvgName, &tags.tvgLogo, &tags.catchup, &tags.catchupSource})
      *value = files.textAsStored(*value);
    GuideStation station{files.textAsStored(entry.name), address, tags};
    fitLine(station, recorded.refused);
    if (map.set(station)) ++recorded.changed;
  }
  if (recorded.changed > 0 || recorded.grouped > 0) writeGuideMap(files, path, map);
  return recorded;
}

namespace {

std::vector<std::string> sourcesIn(const std::vector<std::string>& lines) {
  std::vector<std::string> sources;
  for (const std::string& line : lines) {
    std::string source = trimmed(line);
    if (source.empty() || source.starts_with('#')) continue;
    if (std::find(sources.begin(), sources.end(), source) == sources.end())
      sources.push_back(std::move(source));
  }
  return sources;
}

}  // namespace

std::vector<std::string> readGuideSources(TextFileService& files, const std::string& path) {
  return sourcesIn(readLines(files, path));
}

int recordGuideSources(TextFileService& files, const std::string& path,
                       const std::vector<std::string>& addresses) {
  std::vector<std::string> lines = readLines(files, path);
  std::vector<std::string> known = sourcesIn(lines);
  int added = 0;
  for (const std::string& address : addresses) {
    // An address the file cannot hold would be written as another one.
    const std::string source = files.textAsStored(trimmed(address));
    if (source.empty() || source != trimmed(address)) continue;
    if (std::find(known.begin(), known.end(), source) != known.end()) continue;
    known.push_back(source);
    lines.push_back(source);
    ++added;
  }
  if (added > 0) writeLines(files, path, lines);
  return added;
}

}  // namespace zelvo
