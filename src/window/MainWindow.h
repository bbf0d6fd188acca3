// The main window form1: owns its controls, the shared state and every subsystem (the guide
// window and the recording mark included), and is the one place that wires their events.
#pragma once

#include "form/AppTitle.h"
#include "form/FormControls.h"
#include "form/Services.h"
#include "form/SharedState.h"
#include "formats/Playlist.h"
#include "guide/GuideWindow.h"
#include "guide/NowNextTooltip.h"
#include "guide/ProgrammeGuide.h"
#include "library/FavouriteStations.h"
#include "library/PositionFiles.h"
#include "library/RecentStations.h"
#include "library/Selectors.h"
#include "library/StationEditing.h"
#include "library/StationFiles.h"
#include "playback/AddressExpansion.h"
#include "playback/Buttons.h"
#include "playback/FallbackPlayerEvents.h"
#include "playback/Monitoring.h"
#include "playback/Playback.h"
#include "playback/PlaybackControl.h"
#include "playback/PopupWatch.h"
#include "playback/PrimaryPlayerEvents.h"
#include "playback/Reconnection.h"
#include "playback/Recording.h"
#include "playback/TrackMenu.h"
#include "search/LinkScan.h"
#include "search/PageQueue.h"
#include "search/ResultFiles.h"
#include "search/SearchRun.h"
#include "search/StationScan.h"
#include "search/WebSearch.h"
#include "window/StationWindow.h"

namespace zelvo {

class MainWindow {
 public:
  explicit MainWindow(Services& services);
  // Lets the guide reader go: it may outlive the window.
  ~MainWindow();
  MainWindow(const MainWindow&) = delete;
  MainWindow& operator=(const MainWindow&) = delete;

  // Window creation: sizes and shows the window, loads the station list, checks the players.
  void StartUp();
  // Window unload: saves the position and ends the process.
  void ShutDown();
  // Appends each group of stations to the station list after a separator row, as a load does,
  // then chooses the first station as a click on it does, which plays it. Writes no file.
  // The playlists' guides (guideAddresses) and tags serve the programme guide of the session.
  void OpenStationGroups(const std::vector<std::vector<PlaylistEntry>>& groups,
                         const std::vector<std::string>& guideAddresses = {});

  FormControls& controls() { return c_; }
  SharedState& state() { return s_; }
  StationFiles& stationFiles() { return stationFiles_; }
  PositionFiles& positionFiles() { return positionFiles_; }
  Playback& playback() { return playback_; }
  AddressExpansion& expansion() { return expansion_; }
  Monitoring& monitoring() { return monitoring_; }
  ResultFiles& resultFiles() { return results_; }
  ProgrammeGuide& guide() { return guide_; }
  GuideWindow& guideWindow() { return guideWindow_; }
  Timer& guideTimer() { return nowNextTooltip_.timer(); }
  Recording& recording() { return recording_; }
  Reconnection& reconnection() { return reconnection_; }
  Selectors& selectors() { return selectors_; }
  FavouriteStations& favourites() { return favourites_; }
  RecentStations& recent() { return recent_; }
  // What reading tv_fav.txt at start-up met, in a sentence for the user; empty when all read.
  const std::string& favouritesProblem() const { return favouritesProblem_; }
  // Plays the station that played before the current one, as a choice of its row; nothing
  // when there is none or the list no longer holds it.
  void PlayPrevious();
  TrackMenu& trackMenu() { return trackMenu_; }
  StationWindow& stationWindow() { return stationWindow_; }

  // Every control the window shows, in the order they are drawn: the form's, then the
  // recording mark above the players' pictures.
  std::vector<Control*> shownControls();
  // Every timer: the window's three, the end of the running programme, the guide window's
  // refresh, recording's and reconnection's.
  void forEachTimer(const std::function<void(Timer&)>& visit);

 private:
  void connectReactions();
  void connectGuide();
  void connectLists();
  bool textFieldHasFocus();
  void connectStationWindow();
  bool checkPlayers();
  void onKeyDown(int keyCode);

  Services& p_;
  FormControls c_;
  SharedState s_;
  Context x_{c_, s_, p_};
  StationFiles stationFiles_{x_};
  PositionFiles positionFiles_{x_};
  Playback playback_{x_};
  AddressExpansion expansion_{x_, stationFiles_, positionFiles_, playback_};
  Buttons buttons_{x_, playback_, expansion_};
  Monitoring monitoring_{x_, playback_, expansion_};
  PrimaryPlayerEvents primaryEvents_{x_, monitoring_};
  FallbackPlayerEvents fallbackEvents_{x_, monitoring_};
  PopupWatch popupWatch_{x_};
  Recording recording_{x_};
  Reconnection reconnection_{x_, playback_, recording_};
  PlaybackControl playbackControl_{playback_, expansion_};
  Selectors selectors_{x_, playbackControl_};
  StationEditing editing_{x_, stationFiles_, playbackControl_};
  ResultFiles results_{x_};
  SearchRun searchRun_;
  PageQueue pageQueue_{c_.tvmx};
  LinkScan linkScan_{x_, pageQueue_, results_, searchRun_};
  WebSearch webSearch_{x_, playback_, pageQueue_, searchRun_};
  StationScan scan_{x_,
                    {stationFiles_, positionFiles_, playback_, expansion_, results_, searchRun_}};
  ProgrammeGuide guide_{p_.files, p_.appFolder, p_.clock};
  NowNextTooltip nowNextTooltip_{c_, guide_};
  GuideWindow guideWindow_{x_, playbackControl_};
  FavouriteStations favourites_{p_.files, p_.pathOf(kFavouritesFile)};
  RecentStations recent_{p_.files, p_.pathOf(kRecentFile)};
  std::string favouritesProblem_;
  TrackMenu trackMenu_{x_};
  StationWindow stationWindow_{
      x_, {favourites_, recent_, [this] { return favouritesProblem_; }}, selectors_};
};

// The leading number of a dotted version text: the text up to and including the first ".".
// Fails when there is no "." or that part is not a number.
double leadingVersionNumber(const std::string& versionText);

}  // namespace zelvo
