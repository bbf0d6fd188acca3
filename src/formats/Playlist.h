// A playlist as stations: the entries read from an M3U, PLS or ASX playlist, each already fit
// to be a station line, and what was skipped or changed on the way, with the line it stood on.
#pragma once

#include <string>
#include <vector>

#include "formats/Guide.h"

namespace zelvo {

struct PlaylistEntry {
  std::string name;     // never empty, never a comma
  std::string address;  // never empty, never a comma, no control character; any request
                        // headers in its "|" suffix
  std::string group;    // the entry's group-title, if it had one
  GuideTags guide{};    // what the playlist said for finding it in a guide and catching up
};

struct PlaylistProblem {
  enum class Kind {
    NotAnAddress,    // skipped: control characters or undecodable bytes
    AddressTooLong,  // skipped
    NoAddress,       // skipped: a title (#EXTINF, TitleN) that no address followed
    NameCut,         // kept, with the name cut to kMaxStationNameBytes
    HeaderLeftOut,   // kept, without a request header that was unknown, too long or unsafe
  };
  Kind kind;
  int line;          // of the address, or of the title without one; counted from 1
  std::string text;  // the address or name concerned, shortened for showing
};

struct Playlist {
  std::vector<PlaylistEntry> entries;
  std::vector<PlaylistProblem> problems;
  // The programme guides the playlist names (M3U x-tvg-url and url-tvg), each once, in order.
  std::vector<std::string> guideAddresses;
};

// A one-line description of the problem, for the user.
std::string describe(const PlaylistProblem& problem);
// Whether the problem cost the playlist an entry, rather than a part of one.
bool skipsEntry(const PlaylistProblem& problem);

}  // namespace zelvo
