// The window functions the pop-up watch uses: the application's active window, its last active
// pop-up, a window's title, and a close request that returns once the window has handled it.
#pragma once

#include <cstdint>
#include <string>

namespace zelvo {

// Identifies a top-level window of the application; 0 is no window.
using WindowHandle = std::uintptr_t;

class WindowFunctions {
 public:
  virtual ~WindowFunctions() = default;
  // The application's active top-level window, or 0 when the application is not active.
  virtual WindowHandle activeWindow() = 0;  // GetActiveWindow
  // The pop-up owned by owner that was active last, or owner itself when it owns none.
  virtual WindowHandle lastActivePopup(WindowHandle owner) = 0;  // GetLastActivePopup
  // The title of window as ANSI (GBK) text of at most maxCount - 1 bytes, returned as UTF-8;
  // a character is never cut in half. Fails when the window does not exist.
  virtual std::string windowText(WindowHandle window, int maxCount) = 0;  // GetWindowTextA
  // Asks the window to close and returns after it has handled the request (it may refuse).
  virtual void sendClose(WindowHandle window) = 0;  // SendMessageA WM_CLOSE
};

}  // namespace zelvo
