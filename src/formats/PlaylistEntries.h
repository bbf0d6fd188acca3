// The rules that turn what a playlist names into a station: the name a station line can hold,
// an address that is one, and relative entries resolved against the playlist's folder.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "formats/Playlist.h"
#include "formats/StationAddress.h"

namespace zelvo {

// A longer name is cut at a character boundary: a name fills one row of the station list.
inline constexpr size_t kMaxStationNameBytes = 1024;
// A longer address is skipped: no player takes an address of this size.
inline constexpr size_t kMaxStationAddressBytes = 64 * 1024;

// Collects the entries of one playlist in its order.
class EntryCollector {
 public:
  // folder: where relative entries are resolved; empty leaves them as they are.
  EntryCollector(Playlist& out, std::string folder) : out_(out), folder_(std::move(folder)) {}

  // One entry: its title, a second name for when the title is empty (tvg-name), its group and
  // its address, as the playlist holds them. Without a usable name the address is the name.
  // The headers of the address's own "|" suffix win over the headers given.
  void add(std::string_view title, std::string_view secondName, std::string_view group,
           std::string_view address, int line, GuideTags guide = {}, RequestHeaders headers = {});
  // A request header that the playlist gave on the line but that was left out.
  void headerLeftOut(const HeaderProblem& problem, int line);
  // A title that no address followed.
  void titleWithoutAddress(std::string_view title, int line);
  // A programme guide the playlist names; blanks around it are dropped, repeats ignored.
  void guideAddress(std::string_view address);

 private:
  std::string stationName(std::string_view text, int line, bool report);
  void problem(PlaylistProblem::Kind kind, int line, std::string_view text);

  Playlist& out_;
  std::string folder_;
};

// The groups of an entry's group text: separated by ";", blanks around each dropped, empty ones
// and repeats passed over.
std::vector<std::string> playlistGroups(std::string_view group);

// Spaces and tabs off both ends.
std::string_view trimBlanks(std::string_view text);

}  // namespace zelvo
