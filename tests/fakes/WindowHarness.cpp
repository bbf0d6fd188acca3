#include "fakes/WindowHarness.h"

#include <fstream>
#include <iterator>

#include "support/GbkFiles.h"

namespace zelvo::test {

namespace {
std::unique_ptr<MainWindow> makeWindow(Services& services, FakeEventLoop& loop) {
  auto window = std::make_unique<MainWindow>(services);
  window->forEachTimer([&](Timer& t) { loop.attach(t); });
  return window;
}
}  // namespace

WindowHarness::WindowHarness()
    : window(makeWindow(services, loop)), c(window->controls()), s(window->state()) {
  wmp.writeRecordingsTo(disk);
  real.writeRecordingsTo(disk);
}

void WindowHarness::writeFile(const std::string& name, const std::vector<std::string>& lines) {
  writeGbkLines(folder.file(name), lines);
}

std::vector<std::string> WindowHarness::readFile(const std::string& name) const {
  return readGbkLines(folder.file(name));
}

bool WindowHarness::exists(const std::string& name) const {
  return std::ifstream(folder.file(name)).good();
}

std::vector<std::string> WindowHarness::rows() const {
  std::vector<std::string> out;
  for (int i = 0; i < c.tvm.count(); ++i) out.push_back(c.tvm.row(i) + "|" + c.dz1.row(i));
  return out;
}

void WindowHarness::playOnlyLiveAddresses(int delayMs) {
  wmp.onOpen = [this, delayMs](const std::string& address) {
    loop.postAfter(delayMs, [this, address] {
      if (wmp.URL() != address) return;
      if (address.rfind("http://live/", 0) == 0) {
        wmp.enter(WmpState::Playing);
      } else {
        wmp.failWith(WmpError::FileNotFound);
      }
    });
  };
  real.onPlay = [this, delayMs](const std::string&) {
    loop.postAfter(delayMs, [this] { real.failWith(kFallbackOpenFailed); });
  };
}

std::vector<std::string> WindowHarness::addressesGivenTo(const std::string& call) const {
  std::vector<std::string> addresses;
  for (const std::string& entry : log.startingWith(call + " "))
    addresses.push_back(entry.substr(call.size() + 1));
  return addresses;
}

}  // namespace zelvo::test
