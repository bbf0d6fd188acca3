#include "window/StationWindow.h"

#include <algorithm>
#include <map>
#include <set>
#include <string_view>
#include <unordered_set>
#include <utility>

#include "form/FormControls.h"
#include "formats/StationLines.h"
#include "library/StationFiles.h"
#include "platform/Steps.h"

namespace zelvo {

namespace {

// The stations of the list, each once by name and address, as indices into the stations
// themselves: a list of 32,767 rows needs no key string of its own per row.
struct StationKey {
  using is_transparent = void;
  const std::vector<StationRef>* stations;
  const StationRef& of(int index) const { return (*stations)[static_cast<size_t>(index)]; }
  const StationRef& of(const StationRef& station) const { return station; }
  size_t operator()(const auto& key) const {
    const StationRef& s = of(key);
    return std::hash<std::string_view>{}(s.name) * 31 + std::hash<std::string_view>{}(s.address);
  }
  bool operator()(const auto& a, const auto& b) const { return of(a) == of(b); }
};

std::vector<int> numbersIn(const std::string& line) {
  std::vector<int> numbers;
  size_t at = 0;
  while (at <= line.size()) {
    const size_t comma = std::min(line.find(',', at), line.size());
    try {
      numbers.push_back(std::stoi(line.substr(at, comma - at)));
    } catch (const std::exception&) {
      return {};
    }
    at = comma + 1;
  }
  return numbers;
}

}  // namespace

StationWindow::StationWindow(Context context, StationLists lists, Selectors& selectors)
    : x_(context), view_(context.p.stationView), lists_(std::move(lists)), selectors_(selectors) {}

void StationWindow::connect() {
  FormControls& c = x_.c;
  step([&] { c.form1.addShortcut(kStationWindowKeys, [this] { step([&] { open(); }); }); });
  step([&] { c.tvm.addContextAction(kStationWindowCaption); });
  // Others answer tvm's other entries: this one only listens.
  c.tvm.contextAction.listen([this](const std::string& caption) {
    if (caption == kStationWindowCaption) step([&] { open(); });
  });
  c.tvm.rowsChanged.listen([this](RowChange) { listChanged(); });
  lists_.recent.changed.listen([this] { listChanged(); });
  refresh_.tick.connect([this] {
    refresh_.setEnabled(false);
    if (outOfDate_ && guard([&] { return view_.visible(); })) step([&] { rebuild(); });
  });
  prepare_.tick.connect([this] {
    // Still changing: another interval, until one passes without a change.
    if (std::exchange(changedSincePrepareArmed_, false)) return;
    prepare_.setEnabled(false);
    if (outOfDate_ && !guard([&] { return view_.visible(); })) step([&] { rebuild(); });
  });
  index_.tick.connect([this] {
    index_.setEnabled(false);
    if (indexOutOfDate_) step([&] { indexNames(); });
  });
  view_.textEdited.connect([this](const std::string& text) {
    text_ = text;
    step([&] { narrow(); });
  });
  view_.searchAccepted.connect([this] {
    for (const StationGroup& group : shown_) {
      if (group.stations.empty()) continue;
      play(stations_[group.stations.front()]);
      return;
    }
  });
  view_.stationActivated.connect([this](int group, int row) {
    if (const StationRef* station = shownStation(group, row)) play(*station);
  });
  view_.favouriteToggled.connect([this](int group, int row) { toggleFavourite(group, row); });
  view_.favouriteMoved.connect([this](int from, int to) { moveFavourite(from, to); });
  view_.closed.connect([this] { savePlace(); });
}

void StationWindow::open() {
  if (!placeRead_) {
    placeRead_ = true;
    step([&] { loadPlace(); });
  }
  if (outOfDate_) step([&] { rebuild(); });
  step([&] { view_.show(); });
  // After the window's first paint, before the user's first keystroke as a rule.
  if (indexOutOfDate_) index_.setEnabled(true);
}

void StationWindow::forEachTimer(const std::function<void(Timer&)>& visit) {
  visit(refresh_);
  visit(prepare_);
  visit(index_);
}

void StationWindow::listChanged() {
  outOfDate_ = true;
  // A load adds thousands of rows one by one: the timers gather them into one rebuild, armed
  // once rather than restarted for every row.
  if (guard([&] { return view_.visible(); })) {
    if (!refresh_.enabled()) refresh_.setEnabled(true);
  } else if (prepare_.enabled()) {
    changedSincePrepareArmed_ = true;
  } else {
    prepare_.setEnabled(true);
  }
}

int StationWindow::stationIndex(const StationRef& station) {
  // Linear only for the few favourites and recent stations that are not in the list.
  for (size_t i = 0; i < stations_.size(); ++i)
    if (stations_[i] == station) return static_cast<int>(i);
  stations_.push_back(station);
  return static_cast<int>(stations_.size()) - 1;
}

std::vector<StationRef> StationWindow::resultStations() {
  std::vector<StationRef> found;
  for (const char* file : {kScanResultFile, kWebResultFile}) {
    step([&] {
      const std::string path = x_.p.pathOf(file);
      if (!x_.p.files.fileExists(path)) return;
      auto reader = x_.p.files.openForReading(path);
      walkStationFile(linesOf(*reader), [&](StationLine line, size_t) {
        if (!isSeparatorRow(line)) found.push_back({line.name, line.address});
      });
    });
  }
  return found;
}

void StationWindow::rebuild() {
  outOfDate_ = false;
  // The index reads the names where stations_ keeps them: it is out of date from here on.
  indexOutOfDate_ = true;
  refresh_.setEnabled(false);
  const FormControls& c = x_.c;
  stations_.clear();
  const StationKey key{&stations_};
  std::unordered_set<int, StationKey, StationKey> listed(0, key, key);
  const int rows = std::min(c.tvm.count(), c.dz1.count());
  listed.reserve(static_cast<size_t>(rows));
  for (int i = 0; i < rows; ++i) {
    StationRef station{c.tvm.row(i), c.dz1.row(i)};
    if (isSeparatorRow({station.name, station.address})) continue;
    stations_.push_back(std::move(station));
    if (!listed.insert(static_cast<int>(stations_.size()) - 1).second) stations_.pop_back();
  }
  const size_t listedCount = stations_.size();

  groups_.clear();
  kinds_.clear();
  auto addGroup = [&](std::string title, Kind kind) {
    groups_.push_back({std::move(title), {}, kind == Kind::Favourites});
    kinds_.push_back(kind);
    return groups_.size() - 1;
  };
  const size_t favourites = addGroup(kFavouritesGroup, Kind::Favourites);
  for (const StationRef& station : lists_.favourites.stations()) {
    const auto known = listed.find(station);
    groups_[favourites].stations.push_back(known != listed.end() ? *known : stationIndex(station));
  }
  const size_t recent = addGroup(kRecentGroup, Kind::Recent);
  for (const StationRef& station : lists_.recent.stations()) {
    const auto known = listed.find(station);
    groups_[recent].stations.push_back(known != listed.end() ? *known : stationIndex(station));
  }

  std::vector<char> placed(listedCount, 0);
  if (groupsOf_) {
    std::map<std::string, size_t> byTitle;
    for (size_t i = 0; i < listedCount; ++i) {
      std::vector<std::string> titles;
      step([&] { titles = groupsOf_(stations_[i].name, stations_[i].address); });
      for (const std::string& title : titles) {
        if (title.empty()) continue;
        auto [at, added] = byTitle.emplace(title, 0);
        if (added) at->second = addGroup(title, Kind::Playlist);
        std::vector<int>& members = groups_[at->second].stations;
        if (members.empty() || members.back() != static_cast<int>(i))
          members.push_back(static_cast<int>(i));
        placed[i] = 1;
      }
    }
  }
  const size_t results = addGroup(kResultsGroup, Kind::Results);
  std::set<int> inResults;
  for (const StationRef& station : resultStations()) {
    const auto known = listed.find(station);
    if (known == listed.end() || !inResults.insert(*known).second) continue;
    groups_[results].stations.push_back(*known);
    placed[*known] = 1;
  }
  const size_t ungrouped = addGroup(kUngroupedGroup, Kind::Ungrouped);
  for (size_t i = 0; i < listedCount; ++i)
    if (!placed[i]) groups_[ungrouped].stations.push_back(static_cast<int>(i));

  std::vector<StationLabel> labels(stations_.size());
  for (size_t i = 0; i < stations_.size(); ++i) {
    labels[i].name = stations_[i].name;
    if (nowNext_)
      step([&] { labels[i].nowNext = nowNext_(stations_[i].name, stations_[i].address); });
  }
  for (int i : groups_[favourites].stations) labels[i].favourite = true;
  if (guard([&] { return view_.visible(); })) index_.setEnabled(true);
  step([&] { view_.setStations(std::move(labels)); });
  narrow();
}

void StationWindow::indexNames() {
  indexOutOfDate_ = false;
  index_.setEnabled(false);
  std::vector<std::string_view> names;
  names.reserve(stations_.size());
  for (const StationRef& station : stations_) names.push_back(station.name);
  search_.setNames(names);
}

void StationWindow::narrow() {
  shown_.clear();
  shownKinds_.clear();
  // No text shows everything, and needs no index.
  std::vector<int> found;
  if (!text_.empty()) {
    if (indexOutOfDate_) indexNames();
    found = search_.find(text_);
  }
  const bool everything = text_.empty() || found.size() == stations_.size();
  if (everything) {
    shown_ = groups_;
    shownKinds_ = kinds_;
  } else {
    std::vector<char> matches(stations_.size(), 0);
    for (int i : found) matches[i] = 1;
    for (size_t g = 0; g < groups_.size(); ++g) {
      StationGroup narrowed{groups_[g].title, {}, false};
      for (int i : groups_[g].stations)
        if (matches[i]) narrowed.stations.push_back(i);
      if (narrowed.stations.empty()) continue;
      shown_.push_back(std::move(narrowed));
      shownKinds_.push_back(kinds_[g]);
    }
  }
  if (stations_.empty())
    found_ = "列表中没有频道";
  else if (everything)
    found_ = "共 " + std::to_string(stations_.size()) + " 个频道";
  else if (found.empty())
    found_ = "没有找到相符的频道";
  else
    found_ = "找到 " + std::to_string(found.size()) + " 个频道";
  step([&] { view_.setGroups(shown_); });
  showStatus();
}

void StationWindow::showStatus() {
  std::string status;
  std::string problem;
  if (lists_.favouritesProblem) step([&] { problem = lists_.favouritesProblem(); });
  for (const std::string* part : {&writeProblem_, &problem, &found_}) {
    if (part->empty()) continue;
    if (!status.empty()) status += "\n";
    status += *part;
  }
  step([&] { view_.setStatus(status); });
}

const StationRef* StationWindow::shownStation(int group, int row) const {
  if (group < 0 || group >= static_cast<int>(shown_.size())) return nullptr;
  const std::vector<int>& members = shown_[group].stations;
  if (row < 0 || row >= static_cast<int>(members.size())) return nullptr;
  return &stations_[members[row]];
}

void StationWindow::play(StationRef station) {
  // As a choice of its row: tvm, dz1, monitoring, fallback, reconnection and the recent list all
  // follow. Other handlers may run while it starts, so the station was copied first.
  bool chosen = false;
  step([&] { chosen = selectors_.ChooseStation(station); });
  if (chosen) return;
  found_ = "“" + station.name + "”不在频道列表中，无法播放";
  showStatus();
}

void StationWindow::toggleFavourite(int group, int row) {
  const StationRef* shown = shownStation(group, row);
  if (!shown) return;
  const StationRef station = *shown;
  std::string problem;
  if (!step([&] { problem = lists_.favourites.toggle(station); })) problem = "收藏夹无法保存";
  reportWrite(problem);
}

void StationWindow::moveFavourite(int from, int to) {
  if (shown_.empty() || shownKinds_.front() != Kind::Favourites || !shown_.front().reorderable)
    return;
  const int count = static_cast<int>(shown_.front().stations.size());
  if (from < 0 || from >= count || to < 0 || to >= count || from == to) return;
  std::string problem;
  if (!step([&] {
        problem = lists_.favourites.move(static_cast<size_t>(from), static_cast<size_t>(to));
      }))
    problem = "收藏夹无法保存";
  reportWrite(problem);
}

void StationWindow::reportWrite(const std::string& problem) {
  writeProblem_ = problem;
  step([&] { rebuild(); });
  // The user's choice did not stick past this session: say so where it cannot be missed.
  if (!problem.empty())
    step([&] { x_.p.messages.show(problem, kStationWindowCaption, MessageIcon::Warning); });
}

void StationWindow::loadPlace() {
  const std::string path = x_.p.pathOf(kStationWindowFile);
  if (!x_.p.files.fileExists(path)) return;
  auto reader = x_.p.files.openForReading(path);
  const std::vector<int> n = numbersIn(reader->readLine());
  // A size too small to use, or a broken file, leaves the window where it would go.
  if (n.size() != 4 || n[2] < 100 || n[3] < 100 || n[2] > 10000 || n[3] > 10000) return;
  view_.setPlace({n[0], n[1], n[2], n[3]});
}

void StationWindow::savePlace() {
  if (!placeRead_) return;
  step([&] {
    const WindowPlace place = view_.place();
    if (place.width <= 0 || place.height <= 0) return;
    auto writer = x_.p.files.createTextFile(x_.p.pathOf(kStationWindowFile));
    writer->writeLine(std::to_string(place.x) + "," + std::to_string(place.y) + "," +
                      std::to_string(place.width) + "," + std::to_string(place.height));
    writer->close();
  });
}

}  // namespace zelvo
