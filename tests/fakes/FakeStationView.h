// The station window in memory: holds what the behaviour shows and lets a test act as the user
// does (type, press Enter, double-click, toggle a favourite, drag one, close the window).
#pragma once

#include <string>
#include <vector>

#include "platform/StationView.h"

namespace zelvo::test {

class FakeStationView : public StationView {
 public:
  void setSearchText(const std::string& text) override { searchText = text; }
  void setStations(std::vector<StationLabel> labels) override { stations = std::move(labels); }
  void setGroups(const std::vector<StationGroup>& shownGroups) override { groups = shownGroups; }
  void setStatus(const std::string& text) override { status = text; }
  void show() override { shown = true; }
  void hide() override { shown = false; }
  bool visible() const override { return shown; }
  WindowPlace place() const override { return where; }
  void setPlace(const WindowPlace& at) override { where = at; }

  void type(const std::string& text) { textEdited.raise(searchText = text); }
  void close() {
    shown = false;
    closed.raise();
  }
  // The tree as "group: name, name" lines.
  std::vector<std::string> tree() const {
    std::vector<std::string> lines;
    for (const StationGroup& group : groups) {
      std::string line = group.title + ":";
      for (size_t i = 0; i < group.stations.size(); ++i)
        line += (i ? ", " : " ") + stations[group.stations[i]].name;
      lines.push_back(line);
    }
    return lines;
  }
  // The group titled title, and the row of the station named name in it (-1, -1: none).
  std::pair<int, int> find(const std::string& title, const std::string& name) const {
    for (size_t g = 0; g < groups.size(); ++g) {
      if (groups[g].title != title) continue;
      for (size_t r = 0; r < groups[g].stations.size(); ++r)
        if (stations[groups[g].stations[r]].name == name)
          return {static_cast<int>(g), static_cast<int>(r)};
    }
    return {-1, -1};
  }

  std::string searchText;
  std::vector<StationLabel> stations;
  std::vector<StationGroup> groups;
  std::string status;
  bool shown = false;
  WindowPlace where;
};

}  // namespace zelvo::test
