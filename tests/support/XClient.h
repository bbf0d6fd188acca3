// A test's own long-lived connection to an X server, acting as the user and the window manager:
// finds a program's window, clicks into it with XTest, asks it to close, reads its pixels.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

typedef struct _XDisplay Display;

namespace zelvo::test {

class XClient {
 public:
  explicit XClient(const std::string& display);  // throws when the display cannot be opened
  ~XClient();
  XClient(const XClient&) = delete;
  XClient& operator=(const XClient&) = delete;

  // The viewable top-level window of process pid titled title, or 0 when there is none yet.
  unsigned long findWindow(pid_t pid, const std::string& title);
  // findWindow, asked every 50 ms until the window is there or timeoutMs have passed (then 0).
  unsigned long waitForWindow(pid_t pid, const std::string& title, int timeoutMs = 30000);
  // Presses and releases the left button (or the one given: 3 is the right) at (x, y) inside
  // window, then waits for the server.
  void click(unsigned long window, int x, int y, unsigned button = 1);
  // Clicks at (x, y) until done() holds, asking every 100 ms and clicking again after each
  // retryMs, for at most timeoutMs; whether done() came to hold. The window shows before its
  // start-up has filled the station list, and a press on "播放" in that moment plays nothing.
  bool clickUntil(unsigned long window, int x, int y, const std::function<bool()>& done,
                  int retryMs = 10000, int timeoutMs = 60000);
  // Moves the pointer to (x, y) inside window; presses (down) or releases a button where it is.
  void moveTo(unsigned long window, int x, int y);
  void setButton(unsigned button, bool down);
  // Gives window the keyboard focus, then presses and releases the key named by its X keysym
  // ("r", "F2"), with Control held when control is set.
  void pressKey(unsigned long window, const std::string& keysym, bool control = false);
  // The close request a window manager sends: WM_PROTOCOLS carrying WM_DELETE_WINDOW.
  void requestClose(unsigned long window);
  // The colours (0xRRGGBB) of the window's pixels in the rectangle, as the screen shows them.
  std::vector<uint32_t> pixels(unsigned long window, int x, int y, int width, int height);
  // For a failed test: every top-level window (title, place, whether it shows) as text, and the
  // whole screen saved as a PPM picture at screenshotPath when one is given.
  std::string describeScreen(const std::string& screenshotPath = "");

 private:
  Display* display_ = nullptr;
};

}  // namespace zelvo::test
