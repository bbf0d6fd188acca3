#include "check/CheckInput.h"

#include <filesystem>

#include "formats/PlaylistReader.h"
#include "formats/StationLines.h"
#include "formats/TextCase.h"
#include "platform/posix/PlaylistText.h"

namespace zelvo {

namespace {

std::string lineCount(size_t count) {
  return std::to_string(count) + (count == 1 ? " line" : " lines");
}

}  // namespace

CheckInput readStationFile(TextFileService& files, const std::string& path) {
  CheckInput input;
  auto reader = files.openForReading(path);
  const StationFileWalk walk = walkStationFile(linesOf(*reader), [&](StationLine station, size_t) {
    if (!isSeparatorRow(station))
      input.stations.push_back({std::move(station.name), std::move(station.address)});
  });
  if (walk.stop == StationFileWalk::Stop::EmptyLine) {
    // The window stops at an empty line after the first; the check reads what it lists.
    size_t unread = 0;
    while (!reader->atEndOfStream()) {
      if (!reader->readLine().empty()) ++unread;
    }
    if (unread > 0) {
      input.notes.push_back("line " + std::to_string(walk.stopIndex + 1) +
                            " is empty: the window stops reading there, and so does the "
                            "check (" +
                            lineCount(unread) + " after it not read)");
    }
  }
  reader->close();
  if (walk.linesWithoutStation > 0) {
    input.notes.push_back(lineCount(walk.linesWithoutStation) +
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
