// The platform services the main window's behaviour uses, the one clock among them, and the
// application folder.
#pragma once

#include <string>

#include "platform/Clock.h"
#include "platform/EventLoop.h"
#include "platform/FileSystem.h"
#include "platform/GuideReader.h"
#include "platform/GuideView.h"
#include "platform/MessageBoxes.h"
#include "platform/Process.h"
#include "platform/RealPlayer.h"
#include "platform/StationView.h"
#include "platform/TextFiles.h"
#include "platform/WebBrowser.h"
#include "platform/WindowFunctions.h"
#include "platform/WindowsMediaPlayer.h"

namespace zelvo {

// The search engine's home page: the first page of an automatic web search.
inline constexpr const char* kBaiduHome = "http://www.baidu.com/";

struct Services {
  EventLoop& loop;
  WindowsMediaPlayer& wmp;
  RealPlayer& real;
  WebBrowser& browser;
  TextFileService& files;
  MessageBoxes& messages;
  Process& process;
  WindowFunctions& windows;
  const Clock& clock;
  FileSystem& disk;  // where recordings go
  GuideReader& guideReader;
  GuideView& guideView;   // the programme guide window
  StationView& stationView;  // the station window
  std::string appFolder;  // where the station and position files live
  std::string searchHome = kBaiduHome;

  std::string pathOf(const std::string& fileName) const { return appFolder + "/" + fileName; }
};

// What every behaviour class of the window works on.
struct FormControls;
struct SharedState;
struct Context {
  FormControls& c;
  SharedState& s;
  Services& p;
};

}  // namespace zelvo
