// Xlib's thread support, which libVLC needs: it draws from its own threads into our X window.
#pragma once

namespace zelvo {

// Call before anything opens the display, that is before the QApplication is made.
void prepareXlibThreads();

}  // namespace zelvo
