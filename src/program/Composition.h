// Builds the real parts and hands them to the main window, which wires them: Qt for the window
// and its services; the players (libVLC, libmpv) and the browser (QtWebEngine) come from
// modules that stand-ins bring up when they are first needed.
#pragma once

#include <memory>
#include <string>

#include "platform/qt/ModuleProxies.h"
// Programs that build the window themselves call prepareWindowProcess() first.
#include "platform/qt/WindowProcess.h"
#include "window/MainWindow.h"

namespace zelvo {

class QtFormView;
class QtGuideView;
class QtStationView;

// The players' settings, and the browser's.
struct ComponentOptions : EngineSettings {
  // The first page of an automatic web search.
  std::string searchHome = kBaiduHome;
  // The window's clock; the system's when none. It must outlive the application.
  const Clock* clock = nullptr;
};

class ZelvoApplication {
 public:
  explicit ZelvoApplication(std::string appFolder, ComponentOptions options = {});
  ~ZelvoApplication();

  // Window creation: runs the start-up of the main window.
  void start();
  // Runs the window's unload reaction as closing the window does, unless the process is ending.
  void requestUnload();
  // True when start-up or shut-down asked the process to end, with the status to end with.
  bool endRequested() const;
  int exitStatus() const;

  MainWindow& window();
  QtFormView& view();
  GuideWindow& guideWindow();
  QtGuideView& guideView();
  QtStationView& stationView();
  PrimaryPlayerProxy& primaryPlayer();
  FallbackPlayerProxy& fallbackPlayer();
  BrowserProxy& browser();

 private:
  struct Parts;
  std::unique_ptr<Parts> parts_;
};

}  // namespace zelvo
