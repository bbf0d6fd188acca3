// What the process decides once before the window's QApplication exists: the heap, the Qt
// platform, and what QtWebEngine reads when it starts. Each through the environment alone.
#pragma once

namespace zelvo {

// The heap (see SessionHeap.h), the Qt platform and Qt Quick's renderer, and the browser's flags.
// Whatever the user set in the environment stays as it is. Xlib's threads are set up beside it,
// with the display (see platform/qt/WindowProcess.h).
void prepareWindowEnvironment();

// What QtWebEngine reads when it starts; a browser outside the window needs it too.
void prepareBrowserProcess();

}  // namespace zelvo
