// The station window "频道表": a search box over a tree of groups of stations, each station with
// its name and its now-and-next, a status line, in a window of its own beside the main window.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/Event.h"

namespace zelvo {

// What the tree shows of one station. Stations are given once and groups name them by index,
// so a station in several groups, and every keystroke's narrowed tree, costs no copies.
struct StationLabel {
  std::string name;
  std::string nowNext;     // empty where the guide has nothing
  bool favourite = false;  // the context menu offers to remove it rather than add it
  bool operator==(const StationLabel&) const = default;
};

struct StationGroup {
  std::string title;
  std::vector<int> stations;  // indices into the labels
  bool reorderable = false;   // its stations may be dragged to a new place
  bool operator==(const StationGroup&) const = default;
};

// The window's place on the screen and its size, in pixels.
struct WindowPlace {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
  bool operator==(const WindowPlace&) const = default;
};

class StationView {
 public:
  virtual ~StationView() = default;
  virtual void setSearchText(const std::string& text) = 0;
  // The stations the groups name; the groups follow with setGroups().
  virtual void setStations(std::vector<StationLabel> stations) = 0;
  // The tree, every group open.
  virtual void setGroups(const std::vector<StationGroup>& groups) = 0;
  virtual void setStatus(const std::string& text) = 0;
  // Shows the window, brings it to the front with the focus in the search box; hide() takes it
  // off the screen.
  virtual void show() = 0;
  virtual void hide() = 0;
  virtual bool visible() const = 0;
  virtual WindowPlace place() const = 0;
  virtual void setPlace(const WindowPlace& place) = 0;

  Event<std::string> textEdited;     // the search box's new text
  Event<> searchAccepted;            // Enter in the search box
  Event<int, int> stationActivated;  // group, row: a double-click or Enter on a station
  Event<int, int> favouriteToggled;  // group, row: the context menu or Ctrl+D
  Event<int, int> favouriteMoved;    // from, to: rows of a reorderable group, by dragging
  Event<> closed;                    // the user closed the window; it is hidden already
};

}  // namespace zelvo
