// Watches an X server for top-level windows being shown, from a connection and thread of its own,
// so that even a window that comes and goes within a moment is seen and named.
#pragma once

#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

typedef struct _XDisplay Display;

namespace zelvo::test {

struct TopLevelWindow {
  unsigned long id = 0;
  std::string title;  // _NET_WM_NAME, else WM_NAME; "(gone)" when it vanished before it was read
  long pid = -1;      // _NET_WM_PID, -1 when not set
  bool transient = false;         // WM_TRANSIENT_FOR is set: a dialog of another window
  bool overrideRedirect = false;  // a pop-up: menu, tool tip, drop-down list
};

class TopLevelWatch {
 public:
  explicit TopLevelWatch(const std::string& display);  // throws when it cannot connect
  ~TopLevelWatch();
  TopLevelWatch(const TopLevelWatch&) = delete;
  TopLevelWatch& operator=(const TopLevelWatch&) = delete;

  // Every top-level window shown since the watch began, and those already shown then.
  std::vector<TopLevelWindow> shown() const;
  // Those that are neither the main window nor a dialog or pop-up, a line each; empty for none.
  std::string strays(unsigned long mainWindow) const;

 private:
  void run();
  void record(unsigned long window, bool overrideRedirect);

  Display* display_ = nullptr;
  int wakeUp_[2] = {-1, -1};
  std::thread thread_;
  mutable std::mutex mutex_;
  std::vector<TopLevelWindow> shown_;
};

}  // namespace zelvo::test
