// A private X server (Xvfb) for tests that need the real X11 window system: it picks a free
// display number itself and stops when the object goes away.
#pragma once

#include <sys/types.h>

#include <string>

namespace zelvo::test {

class XvfbServer {
 public:
  XvfbServer();  // throws when Xvfb cannot start
  ~XvfbServer();
  XvfbServer(const XvfbServer&) = delete;
  XvfbServer& operator=(const XvfbServer&) = delete;

  // ":N", for DISPLAY.
  const std::string& display() const { return display_; }

 private:
  pid_t pid_ = -1;
  std::string display_;
};

}  // namespace zelvo::test
