#include "fakes/WindowHarness.h"

#include <fstream>
#include <iterator>

#include "library/TextRules.h"
#include "platform/posix/GbkCodec.h"

namespace zelvo::test {

namespace {
std::unique_ptr<MainWindow> makeWindow(Services& services, FakeEventLoop& loop) {
  auto window = std::make_unique<MainWindow>(services);
  window->controls().forEachTimer([&](Timer& t) { loop.attach(t); });
  return window;
}
}  // namespace

WindowHarness::WindowHarness()
    : window(makeWindow(services, loop)), c(window->controls()), s(window->state()) {}

void WindowHarness::writeFile(const std::string& name, const std::vector<std::string>& lines) {
  std::ofstream out(folder.file(name), std::ios::binary);
  for (const auto& line : lines) out << utf8ToGbk(line) << "\r\n";
}

std::vector<std::string> WindowHarness::readFile(const std::string& name) const {
  return splitLines(gbkToUtf8(fileBytes(folder.file(name))));
}

bool WindowHarness::exists(const std::string& name) const {
  return std::ifstream(folder.file(name)).good();
}

std::vector<std::string> WindowHarness::rows() const {
  std::vector<std::string> out;
  for (int i = 0; i < c.tvm.count(); ++i) out.push_back(c.tvm.row(i) + "|" + c.dz1.row(i));
  return out;
}

}  // namespace zelvo::test
