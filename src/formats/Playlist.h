// A playlist as stations: the entries read from an M3U, PLS or ASX playlist, each already fit
// to be a station line, and what was skipped or changed on the way, with the line it stood on.
#pragma once

#include <string>
#include <vector>

namespace zelvo {

struct PlaylistEntry {
  std::string name;     // never empty, never a comma
  std::string address;  // never empty, never a comma, no control character
  std::string group;    // the entry's group-title, if it had one
};

struct PlaylistProblem {
  enum class Kind {
    CommaInAddress,  // skipped: no station line can hold it
    NotAnAddress,    // skipped: control characters or undecodable bytes
    AddressTooLong,  // skipped
    NoAddress,       // skipped: a title (#EXTINF, TitleN) that no address followed
    NameCut,         // kept, with the name cut to kMaxStationNameBytes
  };
  Kind kind;
  int line;          // of the address, or of the title without one; counted from 1
  std::string text;  // the address or name concerned, shortened for showing
};

struct Playlist {
  std::vector<PlaylistEntry> entries;
  std::vector<PlaylistProblem> problems;
};

// A one-line description of the problem, for the user.
std::string describe(const PlaylistProblem& problem);

}  // namespace zelvo
