#include "platform/posix/ProcessSetup.h"

#include <unistd.h>

#include <cstdlib>
#include <string>

#include "platform/posix/SessionHeap.h"

namespace zelvo {

namespace {

constexpr const char* kQuietEngineFlags =
    "--disable-background-networking --disable-component-update --no-first-run";

bool isSet(const char* variable) {
  const char* value = std::getenv(variable);
  return value && *value;
}

void chooseQtPlatform() {
  // libVLC 3 draws only into X11 windows: on a Wayland session the window goes through XWayland.
  if (isSet("WAYLAND_DISPLAY") && isSet("DISPLAY") && !isSet("QT_QPA_PLATFORM"))
    setenv("QT_QPA_PLATFORM", "xcb", 1);
  // The web view composes its pages through Qt Quick. On OpenGL it turns the whole window into
  // one GL surface, and the players' native video windows inside it then paint black; drawn in
  // software it is an ordinary widget like the rest.
  if (!isSet("QT_QUICK_BACKEND")) setenv("QT_QUICK_BACKEND", "software", 1);
}

std::string trimmed(std::string text) {
  const char* space = " \t\n\r\f\v";
  text.erase(0, text.find_first_not_of(space));
  text.erase(text.find_last_not_of(space) + 1);
  return text;
}

}  // namespace

void prepareBrowserProcess() {
  // Chromium's sandbox will not start as root, which is how CI runs.
  if (geteuid() == 0) setenv("QTWEBENGINE_DISABLE_SANDBOX", "1", 1);
  const char* given = std::getenv("QTWEBENGINE_CHROMIUM_FLAGS");
  std::string flags = trimmed(given ? given : "");
  if (flags.find(kQuietEngineFlags) == std::string::npos) {
    if (!flags.empty()) flags += ' ';
    flags += kQuietEngineFlags;
  }
  setenv("QTWEBENGINE_CHROMIUM_FLAGS", flags.c_str(), 1);
}

void prepareWindowEnvironment() {
  prepareSessionHeap();
  chooseQtPlatform();
  prepareBrowserProcess();
}

}  // namespace zelvo
