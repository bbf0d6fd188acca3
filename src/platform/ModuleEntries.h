// What each module gives the program through its one entry point: an object that keeps the
// platform contract, and for the players and the browser the widget that shows it.
#pragma once

#include <string>
#include <utility>
#include <vector>

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

struct ModuleName {
  const char* file;
  const char* entry;
  // For people: what the module holds.
  const char* holds;
};

inline constexpr ModuleName kVlcPlayerModule{"vlc-player", "zelvoMakePrimaryPlayer",
                                             "the libVLC player"};
inline constexpr ModuleName kMpvPlayerModule{"mpv-player", "zelvoMakeFallbackPlayer",
                                             "the libmpv player"};
inline constexpr ModuleName kBrowserModule{"browser", "zelvoMakeBrowser", "the web browser"};
inline constexpr ModuleName kVlcProbeModule{"vlc-probe", "zelvoMakeStreamProbe",
                                            "the libVLC stream probe"};
inline constexpr ModuleName kMpvProbeModule{"mpv-probe", "zelvoMakeStreamProbe",
                                            "the libmpv stream probe"};
inline constexpr ModuleName kWindowModule{"window", "zelvoRunWindow", "the window"};

}  // namespace zelvo
