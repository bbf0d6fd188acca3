// The controls of the main window form1, with their design captions, positions and states.
#pragma once

#include <functional>

#include "form/Captions.h"
#include "platform/ComboBox.h"
#include "platform/Control.h"
#include "platform/Timer.h"
#include "platform/Window.h"

namespace zelvo {

// The window's design client area; the window opens at the design width.
inline constexpr int kDesignWidth = 8415;
inline constexpr int kDesignClientHeight = 9345;

struct FormControls {
  FormControls();

  Window form1{"form1", kDesignWidth, kDesignClientHeight};  // the main window

  // The station list: names and addresses in parallel rows, the current station in the texts.
  ComboBox tvm{"tvm", {240, 5040, 4695, 300}};    // station names; the current name
  ComboBox dz1{"dz1", {240, 6120, 5895, 300}};    // addresses; the current address or template
  ListBox tvmx{"tvmx", {8640, 480, 5775, 5460}};  // the web search's page queue, first in first out
  ComboBox Combo1{"Combo1", {7440, 1440, 495, 300}};  // minutes below which a clip is closed
  TextBox Text1{"Text1", {-120, 6480, 8295, 1215}};   // log of played addresses, newest first
  TextBox Text2{"Text2", {2280, 8520, 2295, 375}};    // hidden: a station the list scan found
  CheckBox Check1{"Check1", {2400, 9600, 495, 255}, "Check1"};  // the player's error boxes wanted
  CheckBox Check2{"Check2", {7080, 360, 255, 255}, ""};  // web search of one page, not automatic
  CheckBox Check3{"Check3", {6600, 1440, 735, 255}, "时间"};  // "时间", the short-clip filter on
  Frame Frame1{"Frame1", {0, 4680, 8655, 3135}, ""};   // a click switches compact and full view
  Label Label1{"Label1", {1800, 120, 2055, 255}, ""};  // the clip's length; a click switches view
  // Red: where to pick up a web search that was stopped before its end.
  Label Label2{"Label2", {8880, 120, 2295, 375}, "如未搜索完毕就停止，请在下框中选择重新搜索位置"};
  Label l{"l", {0, 7680, 8295, 375}, "status"};  // status line: the active window's title
  Button Command2{"Command2", {270, 5520, 735, 375}, "播放"};  // "播放", play the current address
  // "增加", add the current station; the caption also shows counts and the chosen row.
  Button Command3{"Command3", {7440, 5520, 735, 375}, "增加"};
  Button Command4{"Command4", {3345, 5520, 735, 375}, "向上"};  // "向上", the station above
  Button Command5{"Command5", {4365, 5520, 735, 375}, "向下"};  // "向下", the station below
  Button Command9{"Command9", {2325, 5520, 735, 375}, "停止"};  // "停止", stop all: play, scans
  Button Command10{"Command10", {6420, 5520, 735, 375}, kScanCaption};  // "搜台", the list scan
  Button Command12{"Command12", {5385, 5520, 735, 375}, "删除"};  // "删除", remove the station
  Button Command14{"Command14", {1290, 5520, 735, 375}, kPauseCaption};  // "暂停", pause, resume
  Button Command16{"Command16", {6360, 360, 615, 255}, "缺省"};  // "缺省", default scan results
  // "网上搜索", start the web search; "网上" once one was started.
  Button Command17{"Command17", {5280, 360, 855, 255}, kWebSearchCaption};
  // The three share the top of the window; the one in use is shown.
  HostArea WindowsMediaPlayer1{"WindowsMediaPlayer1", {0, 0, 8535, 5055}};  // primary player
  HostArea RealAudio1{"RealAudio1", {0, 0, 8415, 4695}};                    // fallback player
  HostArea WebBrowser1{"WebBrowser1", {0, 0, 8655, 6135}};  // web pages and the web search

  Timer Timer5{"Timer5", 50, true};    // always running: the pop-up watch and the status line
  Timer Timer8{"Timer8", 50, false};   // one-shot: the primary player's deferred open
  Timer Timer9{"Timer9", 100, false};  // one-shot: one step of the web search

  // Every control inside the window, drawn in this order (later ones on top).
  void forEachControl(const std::function<void(Control&)>& visit);
  void forEachTimer(const std::function<void(Timer&)>& visit);
};

}  // namespace zelvo
