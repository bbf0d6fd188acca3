#include "guide/GuideWindow.h"

#include <algorithm>
#include <cstdio>
#include <ctime>

#include "form/FormControls.h"
#include "form/SharedState.h"
#include "guide/NowNext.h"
#include "platform/Steps.h"

namespace zelvo {

namespace {

constexpr int64_t kDaySeconds = 24 * 60 * 60;
// However far apart a broken guide's programmes lie, the chooser offers no more days around
// today than these.
constexpr int kMostDaysBack = 31;
constexpr int kMostDaysAhead = 31;

constexpr const char* kWeekdays[] = {"周日", "周一", "周二", "周三", "周四", "周五", "周六"};

std::tm localTime(int64_t at) {
  const std::time_t moment = static_cast<std::time_t>(at);
  std::tm local{};
  localtime_r(&moment, &local);
  return local;
}

std::string clockText(int64_t at) {
  const std::tm local = localTime(at);
  char text[8];
  std::snprintf(text, sizeof text, "%02d:%02d", local.tm_hour, local.tm_min);
  return text;
}

std::string dayText(int64_t dayStart, bool today) {
  const std::tm local = localTime(dayStart);
  std::string text = std::to_string(local.tm_mon + 1) + "月" + std::to_string(local.tm_mday) +
                     "日 " + kWeekdays[local.tm_wday];
  return today ? text + " 今天" : text;
}

int64_t addLocalDays(int64_t dayStart, int days) {
  std::tm local = localTime(dayStart);
  local.tm_mday += days;
  local.tm_hour = local.tm_min = local.tm_sec = 0;
  local.tm_isdst = -1;
  return static_cast<int64_t>(std::mktime(&local));
}

std::string quoted(const Programme& programme) { return "《" + programme.title + "》"; }

}  // namespace

int64_t localDayStart(int64_t at) { return addLocalDays(at, 0); }
int64_t nextLocalDay(int64_t dayStart) { return addLocalDays(dayStart, 1); }

GuideWindow::GuideWindow(Context context, PlaybackRequests& playback)
    : x_(context), playback_(playback), view_(context.p.guideView) {}

void GuideWindow::connect() {
  FormControls& c = x_.c;
  step([&] { c.form1.addShortcut(kGuideWindowKeys, [this] { step([&] { open(); }); }); });
  step([&] { c.tvm.addContextAction(kGuideWindowCaption); });
  c.tvm.contextAction.connect([this](const std::string& caption) {
    if (caption == kGuideWindowCaption) step([&] { open(); });
  });
  view_.dayChosen.connect([this](int day) {
    chosen_ = shownDay_ = day;
    step([&] { showDay(); });
  });
  view_.rowActivated.connect([this](int row) { step([&] { rowActivated(row); }); });
  view_.closed.connect([this] { refresh_.setEnabled(false); });
  refresh_.tick.connect([this] { step([&] { refresh(); }); });
}

void GuideWindow::attachReader(GuideReader& reader) {
  reader_ = &reader;
  reader.logoReady.connect([this](const std::string& address, const std::string& path) {
    logos_[address] = path;
    if (address == logoAddress_) showLogoFile(path);
  });
}

void GuideWindow::open() {
  load(false);
  step([&] { view_.show(); });
  refresh_.setEnabled(true);
}

void GuideWindow::refresh() {
  if (!guard([&] { return view_.visible(); })) return;
  const GuideStation current = currentStation();
  load(current.name == station_.name && current.address == station_.address);
}

GuideStation GuideWindow::currentStation() const {
  const FormControls& c = x_.c;
  GuideStation station;
  station.name = c.tvm.text();
  // The station's row holds its own address; dz1's text may hold a series' expansion.
  const int row = c.tvm.selectedIndex();
  station.address = row >= 0 && row < c.dz1.count() ? c.dz1.row(row) : c.dz1.text();
  return station;
}

void GuideWindow::load(bool keepDay) {
  station_ = currentStation();
  StationGuide guide;
  if (lookup_) step([&] { guide = lookup_(station_.name, station_.address); });
  station_.tags = guide.tags;
  hasChannel_ = guide.channel != nullptr;
  programmes_ = hasChannel_ ? shiftedProgrammes(guide.channel->programmes, guide.tags.tvgShift)
                            : std::vector<Programme>{};
  channelIcon_ = hasChannel_ ? guide.channel->icon : std::string();
  const int64_t previousDay =
      chosen_ >= 0 && chosen_ < static_cast<int>(days_.size()) ? days_[chosen_] : int64_t{-1};

  days_.clear();
  chosen_ = -1;
  int kept = -1;
  const int64_t now = secondsNow();
  const int64_t today = localDayStart(now);
  if (hasChannel_) {
    int64_t first = today;
    int64_t last = today;
    if (!programmes_.empty()) {
      first = std::min(first, localDayStart(programmes_.front().start));
      last = std::max(last, localDayStart(programmes_.back().start));
    }
    const int catchupDays = std::clamp(station_.tags.catchupDays, 0, kMostDaysBack);
    first = std::max(std::min(first, addLocalDays(today, -catchupDays)),
                     addLocalDays(today, -kMostDaysBack));
    last = std::min(last, addLocalDays(today, kMostDaysAhead));
    for (int64_t day = first; day <= last; day = nextLocalDay(day)) {
      if (day == today) chosen_ = static_cast<int>(days_.size());
      if (keepDay && day == previousDay) kept = static_cast<int>(days_.size());
      days_.push_back(day);
    }
    // The day the user chose wins over today, whichever comes first in the list.
    if (kept >= 0) chosen_ = kept;
  }
  std::vector<std::string> labels;
  for (int64_t day : days_) labels.push_back(dayText(day, day == today));
  step([&] { view_.setTitle(std::string(kGuideWindowCaption) + " - " + station_.name); });
  if (labels != dayLabels_ || chosen_ != shownDay_) {
    dayLabels_ = labels;
    shownDay_ = chosen_;
    step([&] { view_.setDays(labels, chosen_); });
  }
  showDay();
  showLogo();
}

void GuideWindow::showDay() {
  shown_.clear();
  std::vector<GuideRow> rows;
  std::string status;
  if (!hasChannel_) {
    status = "没有节目信息";
  } else if (chosen_ >= 0 && chosen_ < static_cast<int>(days_.size())) {
    const int64_t dayStart = days_[chosen_];
    const int64_t dayEnd = nextLocalDay(dayStart);
    const int64_t now = secondsNow();
    // Sorted and apart, the programmes end in order too: the first to end after midnight is
    // the first of the day, one that began the evening before included.
    auto it = std::partition_point(programmes_.begin(), programmes_.end(),
                                   [&](const Programme& p) { return p.stop <= dayStart; });
    for (; it != programmes_.end() && it->start < dayEnd; ++it) {
      GuideRow row;
      row.time = clockText(it->start) + " - " + clockText(it->stop);
      row.title = it->title;
      row.running = it->start <= now && now < it->stop;
      row.playable = row.running || (it->stop <= now && catchupReaches(*it, now));
      shown_.push_back(static_cast<size_t>(it - programmes_.begin()));
      rows.push_back(std::move(row));
    }
    if (rows.empty()) status = "这一天没有节目";
  }
  step([&] { view_.setStatus(status); });
  if (rows == rows_) return;
  rows_ = std::move(rows);
  step([&] { view_.setRows(rows_); });
}

bool GuideWindow::catchupReaches(const Programme& programme, int64_t now) const {
  if (!catchup_) return false;
  const int days = station_.tags.catchupDays;
  if (days > 0 && programme.start < now - days * kDaySeconds) return false;
  return guard([&] { return catchup_(station_, programme).playable(); });
}

void GuideWindow::showLogo() {
  logoAddress_ = station_.tags.tvgLogo.empty() ? channelIcon_ : station_.tags.tvgLogo;
  auto known = logos_.find(logoAddress_);
  showLogoFile(known == logos_.end() ? std::string() : known->second);
  if (logoAddress_.empty() || !reader_ || !logosAsked_.insert(logoAddress_).second) return;
  step([&] { reader_->fetchLogo(logoAddress_); });
}

void GuideWindow::showLogoFile(const std::string& path) {
  if (path == logoShown_) return;
  logoShown_ = path;
  step([&] { view_.setLogo(path); });
}

void GuideWindow::rowActivated(int row) {
  if (row < 0 || row >= static_cast<int>(shown_.size())) return;
  const GuideStation current = currentStation();
  if (current.name != station_.name || current.address != station_.address) {
    // The list belongs to a station that no longer plays: show the one that does.
    load(false);
    step([&] { view_.setStatus("已换台，节目单已更新"); });
    return;
  }
  const Programme programme = programmes_[shown_[row]];
  const int64_t now = secondsNow();
  if (programme.start <= now && now < programme.stop) {
    playLive();
  } else if (programme.start > now) {
    step([&] { view_.setStatus(quoted(programme) + "尚未开始"); });
  } else {
    playPast(programme);
  }
}

void GuideWindow::playLive() {
  x_.s.workMode = WorkMode::Playing;
  step([&] { playback_.PlayAddress(playback_.ExpandAddress(station_.address)); });
  step([&] { view_.setStatus("直播：" + station_.name); });
}

void GuideWindow::playPast(const Programme& programme) {
  const int days = station_.tags.catchupDays;
  CatchupResult made;
  if (days > 0 && programme.start < secondsNow() - days * kDaySeconds) {
    made.problem = "超出 " + std::to_string(days) + " 天的回看";
  } else if (catchup_) {
    if (!step([&] { made = catchup_(station_, programme); })) made = {};
  }
  if (!made.playable()) {
    const std::string why = made.problem.empty() ? "本台没有回看" : made.problem;
    step([&] { view_.setStatus(quoted(programme) + "不能回看：" + why); });
    return;
  }
  x_.s.workMode = WorkMode::Playing;
  step([&] { playback_.PlayAddress(made.address); });
  step([&] { view_.setStatus("回看：" + clockText(programme.start) + " " + programme.title); });
}

}  // namespace zelvo
