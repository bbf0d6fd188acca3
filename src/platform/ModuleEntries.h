// The table of the program's modules, and what each gives the program through its one entry
// point: the window's run, or an object that keeps a platform contract (with a widget for some).
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "formats/Playlist.h"
#include "platform/GuideReader.h"
#include "platform/RealPlayer.h"
#include "platform/StreamProbe.h"
#include "platform/WebBrowser.h"
#include "platform/WindowsMediaPlayer.h"

class QWidget;

// A module's one entry point: the only name it exports.
#define ZELVO_MODULE_ENTRY extern "C" __attribute__((visibility("default")))

namespace zelvo {

// A component made by a module, alive until it is deleted (which the module's own code does).
template <class Contract>
class ModulePart {
 public:
  virtual ~ModulePart() = default;
  virtual Contract& contract() = 0;
  // Its area in the window, without a parent; it goes with the part.
  virtual QWidget* widget() = 0;
};

// The part that holds one component, which keeps the contract and has a widget of its own.
template <class Contract, class Component>
class ComponentPart : public ModulePart<Contract> {
 public:
  template <class... Args>
  explicit ComponentPart(Args&&... args) : component_(std::forward<Args>(args)...) {}
  Contract& contract() override { return component_; }
  QWidget* widget() override { return component_.widget(); }
  Component& component() { return component_; }

 private:
  Component component_;
};

// Makes a part in a module's entry point, which no exception may leave: null when it failed.
template <class Part, class... Args>
Part* makePart(Args&&... args) noexcept {
  try {
    return new Part(std::forward<Args>(args)...);
  } catch (...) {
    return nullptr;
  }
}

struct EngineSettings {
  // How long opening may take, and how long a playing stream may stand still, before failing.
  int watchdogMs = 15000;
  std::vector<std::string> vlcArguments;
  std::vector<std::pair<std::string, std::string>> mpvOptions;
};

// The players and the browser are made on the UI thread, with the QApplication running.
using MakePrimaryPlayer = ModulePart<WindowsMediaPlayer>*(const EngineSettings&);
using MakeFallbackPlayer = ModulePart<RealPlayer>*(const EngineSettings&);
// Pages in remoteContentFolder may load remote content.
using MakeBrowser = ModulePart<WebBrowser>*(const std::string& remoteContentFolder);
// A headless probe; needs only a QCoreApplication.
using MakeStreamProbe = StreamProbe*();

// The window's entry: it runs the window to its end and returns the exit status. The program
// hands it the command line, the playlists the command line named, and the programme guides
// those playlists name.
using StationGroups = std::vector<std::vector<PlaylistEntry>>;
using RunWindow = int(int& argc, char** argv, const StationGroups& playlists,
                      const std::vector<std::string>& guideAddresses);

// A reader that raises its events on the thread that made it; null when it could not be made.
struct GuideReaderSettings;
using MakeGuideReader = GuideReader*(const GuideReaderSettings&);

// One module: <file>.so, the name of its entry point, and what it provides (for people).
struct ModuleName {
  const char* file;
  const char* entry;
  const char* provides;
};

// Every module of the program. The entry's type is the one named beside it above.
inline constexpr ModuleName kWindowModule{"window", "zelvoRunWindow", "the window"};  // RunWindow
inline constexpr ModuleName kVlcPlayerModule{"vlc-player", "zelvoMakePrimaryPlayer",
                                             "the libVLC player"};  // MakePrimaryPlayer
inline constexpr ModuleName kMpvPlayerModule{"mpv-player", "zelvoMakeFallbackPlayer",
                                             "the libmpv player"};  // MakeFallbackPlayer
inline constexpr ModuleName kBrowserModule{"browser", "zelvoMakeBrowser",
                                           "the web browser"};  // MakeBrowser
inline constexpr ModuleName kGuideReaderModule{"guide-reader", "zelvoMakeGuideReader",
                                               "the guide reader"};  // MakeGuideReader
inline constexpr ModuleName kVlcProbeModule{"vlc-probe", "zelvoMakeStreamProbe",
                                            "the libVLC stream probe"};  // MakeStreamProbe
inline constexpr ModuleName kMpvProbeModule{"mpv-probe", "zelvoMakeStreamProbe",
                                            "the libmpv stream probe"};  // MakeStreamProbe
inline constexpr ModuleName kModules[] = {kWindowModule,  kVlcPlayerModule,   kMpvPlayerModule,
                                          kBrowserModule, kGuideReaderModule, kVlcProbeModule,
                                          kMpvProbeModule};

// What a user reads when a module cannot be had.
inline std::string unavailable(const ModuleName& module, const std::string& problem) {
  return std::string(module.provides) + " cannot be loaded: " + problem;
}

}  // namespace zelvo
