// The check's composition: the real players (libmpv first, libVLC beside it) from their probe
// modules, Qt's event loop and timers, the GBK files, standard output, and the end signals
// through a self-pipe. All of it on QtCore alone.
#include "check/StationCheckCommand.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <algorithm>
#include <clocale>
#include <cmath>
#include <filesystem>
#include <memory>
#include <thread>
#include <vector>

#include "check/CheckConsole.h"
#include "check/CheckInput.h"
#include "check/CheckSession.h"
#include "platform/ModuleSlot.h"
#include "platform/Steps.h"
#include "platform/posix/GbkTextFiles.h"
#include "platform/qt/QtCoreServices.h"
#include "platform/qt/QtEndSignals.h"

namespace zelvo {

namespace {

constexpr int kWrongRequest = 2;
// More players than this at once would only fight over the processor and the network.
constexpr int kMostJobs = 64;
constexpr double kMostTimeoutSeconds = 24 * 60 * 60;

bool sameFile(const std::string& a, const std::string& b) {
  std::error_code error;
  return std::filesystem::equivalent(a, b, error) && !error;
}

int defaultJobs() { return std::max(1, static_cast<int>(std::thread::hardware_concurrency())); }

}  // namespace

int runStationCheck(const CheckRequest& request) {
  StdoutConsole console;
  if (!(request.timeoutSeconds > 0) || request.timeoutSeconds > kMostTimeoutSeconds) {
    console.printProblem("--timeout takes a number of seconds above 0 (and at most a day)");
    return kWrongRequest;
  }
  if (request.jobs < 0) {
    console.printProblem("--jobs takes a number of players above 0");
    return kWrongRequest;
  }
  int jobs = request.jobs == 0 ? defaultJobs() : request.jobs;
  if (jobs > kMostJobs) {
    console.printLine("--jobs " + std::to_string(jobs) + ": " + std::to_string(kMostJobs) +
                      " players at once at most");
    jobs = kMostJobs;
  }

  std::unique_ptr<QCoreApplication> ownApplication;
  if (!QCoreApplication::instance()) {
    static int argc = 1;
    static char name[] = "zelvo";
    static char* argv[] = {name, nullptr};
    ownApplication = std::make_unique<QCoreApplication>(argc, argv);
  }
  // libmpv refuses to start unless numbers are parsed the C way; Qt set the user's locale.
  std::setlocale(LC_NUMERIC, "C");

  GbkTextFiles files;
  // Declared before the session: the check stops its timers when it goes.
  // A station gets all of its time: the check's timers never fire early.
  QtTimers timers(Qt::PreciseTimer);
  QElapsedTimer clock;
  clock.start();

  CheckEnvironment environment;
  // Both engines check every station that the first cannot settle, so both must be there.
  EntrySlot<MakeStreamProbe> mpvProbes(kMpvProbeModule), vlcProbes(kVlcProbeModule);
  for (auto* probes : {&mpvProbes, &vlcProbes}) {
    probes->onUnavailable = [&console, probes](const std::string& problem) {
      console.printProblem(unavailable(probes->module(), problem));
    };
  }
  auto* makeMpvProbe = mpvProbes.tryGet();
  auto* makeVlcProbe = makeMpvProbe ? vlcProbes.tryGet() : nullptr;
  if (!makeMpvProbe || !makeVlcProbe) return kCheckFailed;
  environment.makeProbe = [mpv = makeMpvProbe->call, vlc = makeVlcProbe->call](ProbeEngine engine) {
    return std::unique_ptr<StreamProbe>(engine == ProbeEngine::Mpv ? mpv() : vlc());
  };
  environment.bindTimer = [&timers](Timer& timer) { timers.bind(timer); };
  environment.nowMs = [&clock] { return static_cast<long long>(clock.elapsed()); };

  CheckSettings settings;
  settings.input = request.input;
  settings.output = request.output;
  settings.jobs = jobs;
  settings.timeoutMs = static_cast<int>(std::lround(request.timeoutSeconds * 1000));

  CheckPlatform platform{files, console, environment,
                         [&files](const std::string& path) { return readCheckInput(files, path); },
                         sameFile};

  QEventLoop loop;
  int status = kCheckFailed;
  bool finished = false;
  CheckSession session(settings, platform);
  session.onFinished = [&](int result) {
    status = result;
    finished = true;
    loop.quit();
  };
  // The first signal interrupts the check; it writes what it has and ends.
  QtEndSignals endSignals([&session] { session.interrupt(); });
  session.start();
  if (!finished) loop.exec();
  return status;
}

}  // namespace zelvo
