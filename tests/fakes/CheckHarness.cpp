#include "fakes/CheckHarness.h"

#include "check/CheckInput.h"
#include "support/GbkFiles.h"

namespace zelvo::test {

CheckEnvironment CheckHarness::environment() {
  CheckEnvironment environment;
  environment.makeProbe = [this](ProbeEngine engine) -> std::unique_ptr<StreamProbe> {
    return std::make_unique<FakeStreamProbe>(loop, engine == ProbeEngine::Mpv ? mpv : vlc);
  };
  environment.bindTimer = [this](Timer& timer) { loop.attach(timer); };
  environment.nowMs = [this] { return static_cast<long long>(loop.now()); };
  return environment;
}

CheckPlatform CheckHarness::platform() {
  return CheckPlatform{files, console, environment(),
                       [this](const std::string& path) { return readCheckInput(files, path); },
                       [](const std::string& a, const std::string& b) { return a == b; }};
}

std::string CheckHarness::writeStationFile(const std::string& name,
                                           const std::vector<std::string>& lines) {
  writeGbkLines(folder.file(name), lines);
  return folder.file(name);
}

std::vector<std::string> CheckHarness::readLines(const std::string& name) const {
  return readGbkLines(folder.file(name));
}

int CheckHarness::run(CheckSettings settings, long limitMs) {
  int status = -1;
  session = std::make_unique<CheckSession>(std::move(settings), platform());
  session->onFinished = [&status](int s) { status = s; };
  session->start();
  for (long waited = 0; status == -1 && waited < limitMs; waited += 100) loop.advance(100);
  session->onFinished = nullptr;
  return status;
}

}  // namespace zelvo::test
