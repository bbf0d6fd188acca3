// Starts the program under Xvfb with the X11 platform, as a desktop session would, and looks at
// its window through the test's own X connection.
#include "support/ProgramWindow.h"

#include <filesystem>
#include <set>
#include <vector>

#include "support/Waiting.h"

namespace zelvo::test {

namespace {

ProgramStart onDisplay(const std::string& display, std::map<std::string, std::string> environment) {
  environment["DISPLAY"] = display;
  environment["QT_QPA_PLATFORM"] = "xcb";
  return ProgramStart{
      .setEnvironment = environment, .unsetEnvironment = {"WAYLAND_DISPLAY"}, .oneOutput = true};
}

}  // namespace

std::string placeProgram(const std::string& built, const std::string& folder) {
  const std::string placed = folder + "/zelvo";
  std::error_code error;
  std::filesystem::create_hard_link(built, placed, error);
  if (error) std::filesystem::copy_file(built, placed);
  return placed;
}

ProgramWindow::ProgramWindow(const std::string& program, const std::string& scratch,
                             const std::map<std::string, std::string>& environment)
    : x_(xvfb_.display()),
      program_({program}, scratch, onDisplay(xvfb_.display(), environment)),
      window_(x_.waitForWindow(program_.pid(), "Zelvo ver 3.5")),
      loadEcho_((std::filesystem::path(program).parent_path() / "wjmxd").string()) {}

size_t ProgramWindow::playerColours() {
  // Below the selectors and check boxes at the top, above the frame of the controls.
  const std::vector<uint32_t> area = x_.pixels(window_, 0, 130, 560, 170);
  return std::set<uint32_t>(area.begin(), area.end()).size();
}

bool ProgramWindow::clickUntilPicture(const Control& control, int retryMs, int timeoutMs) {
  // A click before the window has read its list finds no station and costs a whole retry: the
  // list is read once the program has echoed its rows into wjmxd in its folder.
  waitUntil(
      [&] {
        std::error_code error;
        return std::filesystem::file_size(loadEcho_, error) > 0 && !error;
      },
      10000, 50);
  const Pixel centre = centreOf(control);
  return x_.clickUntil(
      window_, centre.x, centre.y, [this] { return playerColours() > 3; }, retryMs, timeoutMs);
}

}  // namespace zelvo::test
