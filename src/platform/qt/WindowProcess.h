// The window's process set-up, in one call: what the environment decides (heap, Qt platform,
// browser flags) and Xlib's thread support, which libVLC needs to draw from its own threads.
#pragma once

namespace zelvo {

// Call first, before any thread starts and before the QApplication is made.
void prepareWindowProcess();

}  // namespace zelvo
