// Apart from the Qt code: Xlib's macros clash with Qt's headers (Status, Bool, None).
#include "platform/qt/WindowProcess.h"

#include <X11/Xlib.h>

#include "platform/posix/ProcessSetup.h"

namespace zelvo {

void prepareWindowProcess() {
  prepareWindowEnvironment();
  // Xlib must know before anything opens the display, long before the player's module is loaded.
  XInitThreads();
}

}  // namespace zelvo
