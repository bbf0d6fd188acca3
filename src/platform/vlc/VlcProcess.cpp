// Process-wide preparation for libVLC, kept apart because Xlib's macros clash with Qt's
// headers (Status, Bool, None).
#include "platform/vlc/VlcWindowsMediaPlayer.h"

// After the Qt headers, which refuse to follow Xlib.
#include <X11/Xlib.h>

namespace zelvo {

void VlcWindowsMediaPlayer::prepareProcess() { XInitThreads(); }

}  // namespace zelvo
