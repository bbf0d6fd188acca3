// The OpenGL context that QtWebEngine shares with the window, made when the browser first starts.
#pragma once

namespace zelvo {

// Qt makes this context at start-up only when told before the application exists, and making it
// loads the GL driver, tens of megabytes, into every session, whether it ever shows a page or
// not. The browser makes it instead, before its first page. Does nothing when it exists.
void makeSharedGlContext();

}  // namespace zelvo
