// The real program as a user runs it: under a private X server, its main window found, with the
// player area read back, for end-to-end tests of what the window shows.
#pragma once

#include <cstddef>
#include <map>
#include <string>

#include "support/ControlCentre.h"
#include "support/ProgramRun.h"
#include "support/XClient.h"
#include "support/XvfbServer.h"

namespace zelvo::test {

// Puts the built program into folder (a hard link, or a copy where no link can be made), so
// that folder is its application folder; the program's path there.
std::string placeProgram(const std::string& built, const std::string& folder);

class ProgramWindow {
 public:
  // Starts program on a new X server with environment added to the test's, its output in
  // scratch, and waits up to 30 s for its main window; window() is 0 when none showed.
  ProgramWindow(const std::string& program, const std::string& scratch,
                const std::map<std::string, std::string>& environment = {});

  const std::string& display() const { return xvfb_.display(); }
  XClient& x() { return x_; }
  RunningProgram& program() { return program_; }
  unsigned long window() const { return window_; }

  // How many colours the player area below the controls shows: at most 3 (black) until a
  // picture moves in it.
  size_t playerColours();
  // Clicks the control until a picture moves in the player area, as XClient::clickUntil does.
  bool clickUntilPicture(const Control& control, int retryMs = 10000, int timeoutMs = 60000);

 private:
  XvfbServer xvfb_;
  XClient x_;
  RunningProgram program_;
  unsigned long window_ = 0;
  std::string loadEcho_;  // the file the program echoes the rows of its list into
};

}  // namespace zelvo::test
