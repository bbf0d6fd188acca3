#include "window/MainWindow.h"

#include "formats/StationLines.h"
#include "formats/TextRules.h"
#include "guide/CatchupAddress.h"
#include "guide/NowNextText.h"
#include "library/StationList.h"
#include "platform/Failure.h"
#include "platform/Steps.h"

namespace zelvo {

namespace {

constexpr int kEscapeHeight = 5235;
constexpr int kEscapeWidth = 6225;
constexpr int kEscapeKey = 27;
constexpr int kBackspaceKey = 8;

constexpr const char* kPreviousCaption = "上一个";

constexpr const char* kRecordShortcut = "Ctrl+R";

constexpr const char* kWmpTooOld = "请安装 WindowsMediaPlayer 9.0.0.2980 及以上版本";
constexpr const char* kRealTooOld = "请安装 Real 6.0.11.847 及以上版本";

}  // namespace

double leadingVersionNumber(const std::string& versionText) {
  size_t dot = versionText.find('.');
  if (dot == std::string::npos) fail("no version number in " + versionText);
  auto number = parseNumber(versionText.substr(0, dot + 1));
  if (!number) fail("no version number in " + versionText);
  return *number;
}

MainWindow::MainWindow(Services& services) : p_(services) { connectReactions(); }

MainWindow::~MainWindow() {
  guide_.useReader(nullptr);
  p_.guideReader.logoReady.connect(std::function<void(std::string, std::string)>());
}

std::vector<Control*> MainWindow::shownControls() {
  std::vector<Control*> controls;
  c_.forEachControl([&](Control& control) { controls.push_back(&control); });
  controls.push_back(&recording_.mark);
  return controls;
}

void MainWindow::forEachTimer(const std::function<void(Timer&)>& visit) {
  c_.forEachTimer(visit);
  visit(nowNextTooltip_.timer());
  visit(guideWindow_.refreshTimer());
  stationWindow_.forEachTimer(visit);
  visit(recording_.timer);
  visit(reconnection_.timer);
}

void MainWindow::connectReactions() {
  c_.form1.keyDown.connect([this](int key) { step([&] { onKeyDown(key); }); });
  // A recording gets its file's final name before anything of the shut-down runs.
  c_.form1.unload.connect([this] {
    reconnection_.Cancel();
    recording_.end();
    ShutDown();
  });
  c_.form1.addShortcut(kRecordShortcut, [this] { step([&] { recording_.toggle(); }); });
  buttons_.connect();
  monitoring_.connect();
  primaryEvents_.connect();
  fallbackEvents_.connect();
  popupWatch_.connect();
  popupWatch_.notice = [this] { return reconnection_.notice(); };
  recording_.connect();
  reconnection_.connect();
  selectors_.connect();
  editing_.connect();
  linkScan_.connect();
  webSearch_.connect();
  scan_.connect();
  nowNextTooltip_.connect();
  trackMenu_.connect();
  connectGuide();
  connectLists();
  connectStationWindow();
}

void MainWindow::connectLists() {
  selectors_.stationChosen.listen([this](const StationRef& station) { recent_.played(station); });
  buttons_.stationChosen.listen([this](const StationRef& station) { recent_.played(station); });
  step([&] { c_.tvm.addContextAction(kPreviousCaption); });
  // A listener: the guide window holds the handler of tvm's context menu.
  c_.tvm.contextAction.listen([this](const std::string& caption) {
    if (caption == kPreviousCaption) step([&] { PlayPrevious(); });
  });
}

void MainWindow::PlayPrevious() {
  if (const std::optional<StationRef> previous = recent_.previous())
    selectors_.ChooseStation(*previous);
}

bool MainWindow::textFieldHasFocus() {
  bool focused = false;
  c_.forEachControl([&](Control& control) {
    // A web page shown in the window may hold text fields of its own.
    if (dynamic_cast<ComboBox*>(&control) || dynamic_cast<TextBox*>(&control) ||
        &control == &c_.WebBrowser1)
      focused = focused || control.hasFocus();
  });
  return focused;
}

void MainWindow::connectGuide() {
  guide_.useReader(&p_.guideReader);
  // The guide window shows what the session's guide read, and builds catch-up addresses from
  // the station's tags.
  guideWindow_.setLookup([this](const std::string& name, const std::string& address) {
    return StationGuide{guide_.channelFor(name, address), guide_.tagsFor(name, address)};
  });
  guideWindow_.setCatchup([this](const GuideStation& station, const Programme& programme) {
    return catchupAddress(station.address, station.tags, programme, guide_.now());
  });
  guide_.onUpdated([this] { step([&] { guideWindow_.refresh(); }); });
  guideWindow_.attachReader(p_.guideReader);
  guideWindow_.connect();
}

void MainWindow::connectStationWindow() {
  stationWindow_.setGroupsOf([this](const std::string& name,
                                    const std::string& address) -> const std::vector<std::string>& {
    return guide_.groupsOf(name, address);
  });
  stationWindow_.setNowNext([this](const std::string& name, const std::string& address) {
    return guide_.read() ? describeNowNext(guide_.nowNext(name, address), "；") : std::string();
  });
  guide_.onUpdated([this] { stationWindow_.listChanged(); });
  stationWindow_.connect();
}

void MainWindow::StartUp() {
  step([&] { c_.form1.setHeight(kCompactHeight); });
  step([&] { c_.form1.setVisible(true); });
  step([&] {
    c_.l.setVisible(true);
    c_.Text1.setVisible(true);
    c_.dz1.setEnabled(true);
    c_.Command3.setVisible(true);
  });
  step([&] { c_.form1.setCaption(std::string(kAppTitle) + " ver " + kAppVersion); });
  step([&] { p_.real.setWantErrors(true); });
  step([&] { c_.Command3.setCaption(std::to_string(c_.tvm.count())); });
  step([&] { c_.Command2.setFocus(); });
  step([&] { clearStationList(c_); });
  stationFiles_.LoadStationFile(kScanResultFile);
  stationFiles_.LoadStationFile(kWebResultFile);
  stationFiles_.LoadStationFile(kLibraryFile);
  positionFiles_.LoadTempPlaylists();
  positionFiles_.LoadPlayPosition();
  favouritesProblem_ = favourites_.load();
  recent_.load();

  if (s_.stationPosition < 0) s_.stationPosition = 0;
  // A position equal to the row count names no row; it shows the first one like any stale value.
  if (s_.stationPosition >= c_.tvm.count()) s_.stationPosition = 0;
  showStationRow(c_, s_.stationPosition);
  step([&] { c_.form1.setHeight(kCompactHeight); });

  step([&] { p_.real.setCacheSeconds(3); });
  step([&] { p_.real.setMaintainAspect(true); });
  step([&] { p_.real.setVideoEnabled(true); });
  step([&] { p_.real.setAudioEnabled(true); });
  step([&] { p_.real.setWantStatusEvents(true); });
  s_.workMode = WorkMode::Playing;

  if (!checkPlayers()) return;
  step([&] { c_.WebBrowser1.setVisible(false); });
  step([&] { guide_.refresh(stationsListed(c_)); });
}

bool MainWindow::checkPlayers() {
  auto tooOld = [](auto readVersion, double minimum) {
    try {
      return leadingVersionNumber(readVersion()) < minimum;
    } catch (const std::exception&) {
      return true;
    }
  };
  const char* message = nullptr;
  if (tooOld([&] { return p_.wmp.versionInfo(); }, 9)) {
    message = kWmpTooOld;
  } else if (tooOld([&] { return p_.real.versionInfo(); }, 6)) {
    message = kRealTooOld;
  }
  if (!message) return true;
  step([&] { p_.messages.show(message, kAppTitle, MessageIcon::None); });
  p_.process.end(1);
  return false;
}

void MainWindow::onKeyDown(int keyCode) {
  // Backspace in a text field edits its text.
  if (keyCode == kBackspaceKey && !textFieldHasFocus()) PlayPrevious();
  if (keyCode != kEscapeKey) return;
  c_.form1.setHeight(kEscapeHeight);
  c_.form1.setWidth(kEscapeWidth);
}

void MainWindow::OpenStationGroups(const std::vector<std::vector<PlaylistEntry>>& groups,
                                   const std::vector<std::string>& guideAddresses) {
  int first = -1;
  step([&] { guide_.addPlaylist({}, guideAddresses); });
  for (const std::vector<PlaylistEntry>& group : groups) {
    if (group.empty()) continue;
    step([&] { guide_.addPlaylist(group, {}); });
    int n = stationRowCount(c_);
    if (n > 0 && step([&] { addStationRow(c_, kSeparatorRow, kSeparatorRow, n); })) ++n;
    for (const PlaylistEntry& entry : group) {
      if (!step([&] { addStationRow(c_, entry.name, entry.address, n); })) break;
      if (first < 0) first = n;
      ++n;
    }
  }
  if (first >= 0 || !guideAddresses.empty()) step([&] { guide_.refresh(stationsListed(c_)); });
  if (first >= 0) step([&] { c_.tvm.userChoseRow(first); });
}

void MainWindow::ShutDown() {
  step([&] { c_.form1.setVisible(false); });
  stationWindow_.savePlace();
  if (s_.workMode == WorkMode::ListScan) results_.SaveScanText();
  s_.stationPosition = c_.tvm.selectedIndex();
  if (s_.workMode == WorkMode::ListScan) positionFiles_.SaveScanPosition(s_.stationPosition);
  positionFiles_.SavePlayPosition(s_.stationPosition);
  p_.process.end(0);
}

}  // namespace zelvo
