#include "check/CheckInput.h"

#include <algorithm>
#include <filesystem>

#include "library/PlaylistReader.h"
#include "library/StationList.h"
#include "library/TextRules.h"
#include "platform/ComboBox.h"
#include "platform/posix/PlaylistText.h"

namespace zelvo {

namespace {

// The loader's reading of one line: the name before the first comma, the address between the
// first and the second, both present before trimming.
bool parseStation(std::string line, CheckStation& station) {
  std::replace(line.begin(), line.end(), '\t', ' ');
  const size_t first = line.find(',');
  if (first == std::string::npos) return false;
  const size_t second = line.find(',', first + 1);
  if (second == std::string::npos) return false;
  const std::string name = line.substr(0, first);
  const std::string address = line.substr(first + 1, second - first - 1);
  if (name.empty() || address.empty()) return false;
  if (containsIgnoringCase(address, "play\\temp")) return false;
  station.name = trimSpaces(name);
  station.address = trimSpaces(address);
  return true;
}

bool isSeparator(const CheckStation& station) {
  return station.name == kSeparatorRow && station.address == kSeparatorRow;
}

std::string lineCount(size_t count) {
  return std::to_string(count) + (count == 1 ? " line" : " lines");
}

}  // namespace

CheckInput readStationFile(TextFileService& files, const std::string& path) {
  CheckInput input;
  auto reader = files.openForReading(path);
  size_t lineNumber = 0;
  size_t skipped = 0;
  while (!reader->atEndOfStream()) {
    std::string line = reader->readLine();
    ++lineNumber;
    std::string noTabs = line;
    std::replace(noTabs.begin(), noTabs.end(), '\t', ' ');
    if (isEndMarker(noTabs)) break;
    CheckStation station;
    if (parseStation(line, station)) {
      if (!isSeparator(station)) input.stations.push_back(std::move(station));
    } else if (!line.empty()) {
      ++skipped;
    }
    if (reader->atEndOfStream()) break;
    if (reader->atEndOfLine()) {
      // The window stops at an empty line after the first; the check reads what it lists.
      size_t unread = 0;
      while (!reader->atEndOfStream()) {
        if (!reader->readLine().empty()) ++unread;
      }
      if (unread > 0) {
        input.notes.push_back("line " + std::to_string(lineNumber + 1) +
                              " is empty: the window stops reading there, and so does the "
                              "check (" +
                              lineCount(unread) + " after it not read)");
      }
      break;
    }
  }
  reader->close();
  if (skipped > 0) {
    input.notes.push_back(lineCount(skipped) +
                          " without a name, an address or the comma after it: not stations");
  }
  return input;
}

bool namesPlaylist(const std::string& path) {
  const std::string name = path.substr(path.find_last_of('/') + 1);
  const size_t dot = name.find_last_of('.');
  if (dot == std::string::npos) return false;
  const std::string_view extension = std::string_view(name).substr(dot);
  for (std::string_view playlist : {".m3u", ".m3u8", ".pls", ".asx"}) {
    if (extension.size() == playlist.size() && containsIgnoringCase(extension, playlist)) {
      return true;
    }
  }
  return false;
}

CheckInput stationsOfPlaylist(const Playlist& playlist) {
  CheckInput input;
  for (const PlaylistEntry& entry : playlist.entries) {
    input.stations.push_back({entry.name, entry.address, entry.group});
  }
  for (const PlaylistProblem& problem : playlist.problems) {
    input.notes.push_back(describe(problem));
  }
  return input;
}

CheckInput readCheckInput(TextFileService& files, const std::string& path) {
  if (!namesPlaylist(path)) return readStationFile(files, path);
  const std::string text = readPlaylistText(path);
  std::error_code error;
  std::filesystem::path absolute = std::filesystem::absolute(path, error);
  if (error) absolute = path;
  return stationsOfPlaylist(readPlaylist(text, absolute.parent_path().string()));
}

}  // namespace zelvo
