// The station window "频道表": the stations of the list in groups (favourites, recent, the
// playlists' groups, the search results, the rest), narrowed by what the user types, and played
// through the ordinary choice of a station in tvm.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "form/Services.h"
#include "library/FavouriteStations.h"
#include "library/RecentStations.h"
#include "library/Selectors.h"
#include "library/StationRef.h"
#include "library/StationSearch.h"
#include "platform/StationView.h"
#include "platform/Timer.h"

namespace zelvo {

inline constexpr const char* kStationWindowCaption = "频道表";
inline constexpr const char* kStationWindowKeys = "F3";
inline constexpr const char* kFavouriteKeys = "Ctrl+D";
// The window's place and size, one line "x,y,width,height", beside the library.
inline constexpr const char* kStationWindowFile = "tv_pdb.txt";

inline constexpr const char* kFavouritesGroup = "收藏";
inline constexpr const char* kRecentGroup = "最近";
inline constexpr const char* kResultsGroup = "搜索结果";
inline constexpr const char* kUngroupedGroup = "未分组";

// The playlists' groups of a station; its now-and-next as one line (empty: none).
// The groups are read where the guide keeps them, not copied for each of thousands of stations.
using StationGroupsOf = std::function<const std::vector<std::string>&(const std::string& name,
                                                                      const std::string& address)>;
using StationNowNext =
    std::function<std::string(const std::string& name, const std::string& address)>;

struct StationLists {
  FavouriteStations& favourites;
  RecentStations& recent;
  // Why the favourites could not all be read at the start (empty: they were).
  std::function<std::string()> favouritesProblem;
};

class StationWindow {
 public:
  // Plays through the selectors' ordinary choice of a station.
  StationWindow(Context context, StationLists lists, Selectors& selectors);
  StationWindow(const StationWindow&) = delete;
  StationWindow& operator=(const StationWindow&) = delete;

  // Opens on F3 and on tvm's context-menu entry; follows the list, the recent stations.
  void connect();
  void setGroupsOf(StationGroupsOf groupsOf) { groupsOf_ = std::move(groupsOf); }
  void setNowNext(StationNowNext nowNext) { nowNext_ = std::move(nowNext); }
  // The window's timers: the refresh while it is shown, the groups made ready while it is
  // hidden, and the search's index built once it has shown.
  void forEachTimer(const std::function<void(Timer&)>& visit);

  void open();
  // The groups are out of date: rebuilt at once when the window next opens, or soon when shown.
  void listChanged();
  // Keeps the window's place and size for the next session, if it was ever opened.
  void savePlace();

 private:
  enum class Kind { Favourites, Recent, Playlist, Results, Ungrouped };
  void rebuild();
  void indexNames();
  void narrow();
  void showStatus();
  int stationIndex(const StationRef& station);
  const StationRef* shownStation(int group, int row) const;
  void play(StationRef station);
  void toggleFavourite(int group, int row);
  void moveFavourite(int from, int to);
  void reportWrite(const std::string& problem);
  void loadPlace();
  std::vector<StationRef> resultStations();

  Context x_;
  StationView& view_;
  StationLists lists_;
  Selectors& selectors_;
  StationGroupsOf groupsOf_;
  StationNowNext nowNext_;
  Timer refresh_{"stationWindowRefresh", 300, false};
  // While the window is hidden the groups are built once the list has been still this long, so
  // that F3 finds them ready; the pinyin initials wait for the window itself.
  Timer prepare_{"stationWindowPrepare", 2000, false};
  Timer index_{"stationWindowIndex", 250, false};

  bool outOfDate_ = true;
  bool changedSincePrepareArmed_ = false;
  bool indexOutOfDate_ = true;
  bool placeRead_ = false;
  std::string text_;
  std::string writeProblem_;  // the last change of the favourites that was not written
  std::string found_;         // what the narrowing found, for the status line
  // Every station the groups name, once each, and what the tree shows of it.
  std::vector<StationRef> stations_;
  StationSearch search_;
  std::vector<StationGroup> groups_;  // in full
  std::vector<Kind> kinds_;
  std::vector<StationGroup> shown_;  // narrowed: what the view shows
  std::vector<Kind> shownKinds_;
};

}  // namespace zelvo
