// The programme guide window "节目单": the current station's programmes of one day, chosen among
// the guide's days and the days its catch-up reaches back, and what a double-click on one plays.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "form/PlaybackRequests.h"
#include "form/Services.h"
#include "formats/Guide.h"
#include "guide/CatchupAddress.h"
#include "guide/GuideMatching.h"
#include "platform/GuideReader.h"
#include "platform/GuideView.h"
#include "platform/Timer.h"

namespace zelvo {

inline constexpr const char* kGuideWindowCaption = "节目单";
inline constexpr const char* kGuideWindowKeys = "F2";

// What the guide knows of a station: the channel it matched, if any, and the playlist's tags.
struct StationGuide {
  const GuideChannel* channel = nullptr;
  GuideTags tags;
};

using GuideLookup =
    std::function<StationGuide(const std::string& name, const std::string& address)>;
// The address that plays a past programme of the station, or why it has none.
using CatchupBuilder =
    std::function<CatchupResult(const GuideStation& station, const Programme& programme)>;

class GuideWindow {
 public:
  // The window shows on the services' guide view and asks their clock.
  GuideWindow(Context context, PlaybackRequests& playback);
  GuideWindow(const GuideWindow&) = delete;
  GuideWindow& operator=(const GuideWindow&) = delete;

  // Opens on F2 and on the station selector's context-menu entry.
  void connect();
  void setLookup(GuideLookup lookup) { lookup_ = std::move(lookup); }
  void setCatchup(CatchupBuilder catchup) { catchup_ = std::move(catchup); }
  // Logos come through the reader, each address fetched once.
  void attachReader(GuideReader& reader);
  // While the window is shown it follows the current station and the running programme on
  // this timer's ticks.
  Timer& refreshTimer() { return refresh_; }

  // Shows the current station's programmes of today and brings the window to the front.
  void open();
  // Shows what the guide knows now of the current station, if the window is shown; the chosen
  // day stays while the station does.
  void refresh();

 private:
  void load(bool keepDay);
  void showDay();
  void showLogo();
  void showLogoFile(const std::string& path);
  void rowActivated(int row);
  void playLive();
  void playPast(const Programme& programme);
  bool catchupReaches(const Programme& programme, int64_t now) const;
  int64_t secondsNow() const { return x_.p.clock.secondsNow(); }
  GuideStation currentStation() const;

  Context x_;
  PlaybackRequests& playback_;
  GuideView& view_;
  GuideReader* reader_ = nullptr;
  GuideLookup lookup_;
  CatchupBuilder catchup_;
  Timer refresh_{"guideRefresh", 30000, false};

  GuideStation station_;
  bool hasChannel_ = false;
  // A copy at the station's own times (its tvg-shift applied): the guide may be read again
  // meanwhile.
  std::vector<Programme> programmes_;
  std::string channelIcon_;
  std::vector<int64_t> days_;  // local midnights, UTC seconds
  int chosen_ = -1;
  std::vector<size_t> shown_;  // the programme of each row
  // What the view shows, so that a refresh redraws only what changed.
  std::vector<std::string> dayLabels_;
  int shownDay_ = -1;
  std::vector<GuideRow> rows_;
  std::string logoShown_;
  std::string logoAddress_;
  std::map<std::string, std::string> logos_;  // address, local file ("" when it failed)
  std::set<std::string> logosAsked_;
};

// The local midnight that begins the day holding the moment, and the one after it.
int64_t localDayStart(int64_t at);
int64_t nextLocalDay(int64_t dayStart);

}  // namespace zelvo
