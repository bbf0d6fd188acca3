// Reading what a window tells a window manager about itself, for the tests' X connections.
#pragma once

#include <string>

typedef struct _XDisplay Display;

namespace zelvo::test {

// A 32-bit cardinal property of the window (such as _NET_WM_PID), or -1 when it has none.
long cardinalProperty(Display* display, unsigned long window, const char* name);
// _NET_WM_NAME, else WM_NAME; empty when the window has neither.
std::string windowTitle(Display* display, unsigned long window);
// Windows come and go while a test looks at them: a request about a window that is gone fails,
// and the test simply looks again. Installs an error handler for the process that ignores it.
void ignoreXErrors();

}  // namespace zelvo::test
