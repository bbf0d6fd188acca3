// What a check reads from its input: the stations of a station file, read by the rules the
// window's loader follows, or of a playlist, and notes for people about what was left out.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "formats/Playlist.h"
#include "platform/TextFiles.h"

namespace zelvo {

struct CheckStation {
  CheckStation() = default;
  CheckStation(std::string name, std::string address, std::string group = {})
      : name(std::move(name)), address(std::move(address)), group(std::move(group)) {}
  std::string name;
  std::string address;
  std::string group;  // a playlist entry's group-title, kept for an M3U output
};

struct CheckInput {
  std::vector<CheckStation> stations;
  // What was left out and why, one sentence each.
  std::vector<std::string> notes;
};

// The stations of a station file, as the window would list them: lines "name,address,..." up
// to the end marker or the first empty line after the first; lines without a name, an address
// or the comma after it give none, and neither do separator rows and temp playlist entries.
// Throws PlatformFailure when the file cannot be opened or read.
CheckInput readStationFile(TextFileService& files, const std::string& path);

// A playlist is told by its name: ".m3u", ".m3u8", ".pls" or ".asx", in any case. Anything
// else is read as a station file.
bool namesPlaylist(const std::string& path);

// The entries of a playlist as stations, and what its reader skipped or changed as notes.
CheckInput stationsOfPlaylist(const Playlist& playlist);

// The stations of the check's input, a playlist or a station file by its name; a playlist's
// relative entries are resolved against its folder. Throws PlatformFailure, with a reason a
// user can read, when the file cannot be read.
CheckInput readCheckInput(TextFileService& files, const std::string& path);

}  // namespace zelvo
