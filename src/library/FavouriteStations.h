// The favourite stations, in the user's order, kept in tv_fav.txt beside the library: GBK with
// CR LF, one "name,address" a line, replaced whole. They belong to the user, not to a list: a
// re-import leaves them as they are.
#pragma once

#include <string>
#include <vector>

#include "library/StationRef.h"
#include "platform/TextFiles.h"

namespace zelvo {

inline constexpr const char* kFavouritesFile = "tv_fav.txt";

class FavouriteStations {
 public:
  FavouriteStations(TextFileService& files, std::string path);

  // Reads the file. Lines that are not "name,address" are passed over and a file that cannot be
  // read leaves the list empty; either way the answer says so in a sentence for the user (empty
  // when all was read), and the next write keeps what the file held that could not be read.
  std::string load();
  const std::vector<StationRef>& stations() const { return stations_; }
  bool contains(const StationRef& station) const;

  // Each change is written at once. The answer is empty when it was written, else why not, in
  // a sentence for the user; the change stays in the list either way.
  std::string toggle(const StationRef& station);  // adds at the end, or removes
  std::string move(size_t from, size_t to);       // to: the index the station ends up at

 private:
  std::string save();
  TextFileService& files_;
  std::string path_;
  std::vector<StationRef> stations_;
  std::vector<std::string> unreadLines_;  // kept as they were, written back after the list
  // False while the file holds more than was read: writing it then would lose the rest.
  bool whole_ = true;
};

}  // namespace zelvo
