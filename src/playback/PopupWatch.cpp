#include "playback/PopupWatch.h"

#include "form/FormControls.h"
#include "formats/TextCase.h"
#include "platform/Steps.h"

namespace zelvo {

namespace {
constexpr int kTitleBufferLength = 255;
// "user name and " keeps its trailing blank: "username and password" is not dismissed.
constexpr const char* kDismissedPatterns[] = {"user name and ", "autoupdate", "contact"};
}  // namespace

bool isDismissedTitle(const std::string& title) {
  for (const char* pattern : kDismissedPatterns) {
    if (containsIgnoringCase(title, pattern)) return true;
  }
  return false;
}

void PopupWatch::connect() {
  x_.c.Timer5.tick.connect([this] { step([&] { Tick(); }); });
}

void PopupWatch::Tick() {
  WindowFunctions& windows = x_.p.windows;
  std::string title(kTitleBufferLength, ' ');
  WindowHandle window = 0;
  step([&] { window = windows.activeWindow(); });
  step([&] { window = windows.lastActivePopup(window); });
  step([&] { title = windows.windowText(window, kTitleBufferLength); });
  if (isDismissedTitle(title)) step([&] { windows.sendClose(window); });
  std::string shown;
  if (notice) step([&] { shown = notice(); });
  step([&] { x_.c.l.setCaption(shown.empty() ? title : shown); });
}

}  // namespace zelvo
