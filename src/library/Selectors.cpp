#include "library/Selectors.h"

#include "form/FormControls.h"
#include "form/SharedState.h"
#include "library/StationList.h"
#include "platform/Steps.h"

namespace zelvo {

namespace {

constexpr int kEnterKey = 13;
constexpr int kPlayCountForChosenStation = 10;
constexpr size_t kLogLimitCharacters = 100000;
constexpr size_t kLogKeptCharacters = 1000;

constexpr const char* kAddCaption = "增加";
constexpr const char* kAddToolTip = "增加电视台地址";
constexpr const char* kRowIndexToolTip = "在列表框中序号";
constexpr const char* kLostFocusCaption = "add";

// The byte length of the first count characters of UTF-8 text (all of it when shorter).
size_t utf8Prefix(const std::string& text, size_t count) {
  size_t at = 0;
  for (size_t seen = 0; at < text.size() && seen < count; ++seen) {
    ++at;
    while (at < text.size() && (static_cast<unsigned char>(text[at]) & 0xC0) == 0x80) ++at;
  }
  return at;
}

}  // namespace

void Selectors::connect() {
  FormControls& c = x_.c;
  c.tvm.click.connect([this] { step([&] { NameChosen(); }); });
  c.dz1.click.connect([this] { step([&] { AddressChosen(); }); });
  c.tvm.keyDown.connect([this](int key) { step([&] { NameKeyDown(key); }); });
  // Any change of the station name, typed or set, shows the full window.
  c.tvm.change.connect([this] { step([&] { x_.c.form1.setHeight(kFullHeight); }); });
  c.tvm.gotFocus.connect([this] {
    step([&] { x_.c.dz1.setVisible(true); });
    step([&] { showAddCaption(); });
  });
  c.tvm.lostFocus.connect([this] { step([&] { showAddCaption(); }); });
  c.dz1.gotFocus.connect([this] {
    step([&] { x_.c.tvm.setVisible(true); });
    step([&] { x_.c.dz1.setVisible(true); });
    step([&] { showAddCaption(); });
  });
  c.Command3.lostFocus.connect(
      [this] { step([&] { x_.c.Command3.setCaption(kLostFocusCaption); }); });
  c.Text1.change.connect([this] { step([&] { LogChanged(); }); });
  c.Frame1.click.connect([this] { step([&] { FrameClicked(); }); });
  c.Label1.click.connect([this] { step([&] { LengthClicked(); }); });
}

void Selectors::showAddCaption() {
  step([&] { x_.c.Command3.setCaption(kAddCaption); });
  step([&] { x_.c.Command3.setToolTip(kAddToolTip); });
}

void Selectors::showRowIndex(int index) {
  step([&] { x_.c.Command3.setCaption(std::to_string(index)); });
  step([&] { x_.c.Command3.setToolTip(kRowIndexToolTip); });
}

void Selectors::NameChosen() {
  FormControls& c = x_.c;
  step([&] { playback_.StopAll(); });
  const int i = c.tvm.selectedIndex();
  step([&] { c.dz1.setText(c.dz1.row(i)); });
  step([&] { x_.p.wmp.setPlayCount(kPlayCountForChosenStation); });
  x_.s.workMode = WorkMode::Playing;
  stationChosen.raise({c.tvm.text(), c.dz1.text()});
  step([&] { playback_.PlayAddress(playback_.ExpandAddress(c.dz1.text())); });
  step([&] { c.tvm.setVisible(true); });
  step([&] { c.form1.setHeight(kCompactHeight); });
  showRowIndex(i);
}

void Selectors::AddressChosen() {
  FormControls& c = x_.c;
  step([&] { playback_.StopAll(); });
  const int i = c.dz1.selectedIndex();
  step([&] { c.tvm.setText(c.tvm.row(i)); });
  step([&] { x_.p.wmp.setPlayCount(kPlayCountForChosenStation); });
  step([&] { c.tvm.setVisible(true); });
  showRowIndex(i);
  x_.s.workMode = WorkMode::Playing;
  stationChosen.raise({c.tvm.text(), c.dz1.text()});
  step([&] { playback_.PlayAddress(playback_.ExpandAddress(c.dz1.text())); });
}

void Selectors::NameKeyDown(int keyCode) {
  if (keyCode != kEnterKey) return;
  FormControls& c = x_.c;
  const int k = firstRowNamed(c, c.tvm.text());
  if (k < 0) return;
  showStationRow(c, k);
  // The row's address plays as it stands, without the expansion; the address the player's
  // state changes put back into dz1 must still be this row's, not the last expanded one.
  x_.s.lastTemplate = c.dz1.text();
  stationChosen.raise({c.tvm.text(), c.dz1.text()});
  step([&] { playback_.PlayAddress(c.dz1.text()); });
}

bool Selectors::ChooseStation(const StationRef& station) {
  FormControls& c = x_.c;
  const int count = stationRowCount(c);
  for (int i = 0; i < count; ++i) {
    if (c.tvm.row(i) != station.name || c.dz1.row(i) != station.address) continue;
    showStationRow(c, i);
    // Showing the row fires tvm's Change, whose handlers may have changed the list.
    if (c.tvm.row(i) != station.name || c.dz1.row(i) != station.address) return false;
    step([&] { c.tvm.userChoseRow(i); });
    return true;
  }
  return false;
}

void Selectors::LogChanged() {
  TextBox& log = x_.c.Text1;
  if (utf8Prefix(log.text(), kLogLimitCharacters) < log.text().size())
    log.setText(log.text().substr(0, utf8Prefix(log.text(), kLogKeptCharacters)));
}

void Selectors::FrameClicked() {
  step([&] { x_.c.form1.setWidth(kDesignWidth); });
  step([&] { SwitchView(); });
  step([&] { x_.c.Command2.setFocus(); });
}

void Selectors::LengthClicked() {
  step([&] { SwitchView(); });
  step([&] { x_.c.Command2.setFocus(); });
}

void Selectors::SwitchView() {
  FormControls& c = x_.c;
  step([&] { c.dz1.setVisible(true); });
  const bool full = c.form1.height() == kFullHeight;
  step([&] { c.form1.setHeight(full ? kCompactHeight : kFullHeight); });
  for (Control* control : std::initializer_list<Control*>{&c.dz1, &c.Text1, &c.l}) {
    step([&] { control->setVisible(!full); });
  }
}

}  // namespace zelvo
