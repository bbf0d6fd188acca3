#include "platform/qt/QtEndSignals.h"

#include <fcntl.h>
#include <unistd.h>

#include <QSocketNotifier>
#include <cerrno>
#include <csignal>

#include "platform/Steps.h"

namespace zelvo {

namespace {

constexpr int kEndSignals[] = {SIGTERM, SIGINT, SIGHUP};

// One pipe for the process: the handler may only write a byte, which is async-signal-safe.
int pipeEnds[2] = {-1, -1};
struct sigaction previous[sizeof kEndSignals / sizeof kEndSignals[0]];
bool installed[sizeof kEndSignals / sizeof kEndSignals[0]];

void onSignal(int number) {
  const int savedErrno = errno;
  const char byte = static_cast<char>(number);
  // A full pipe already holds a request; the byte may be dropped.
  [[maybe_unused]] ssize_t written = ::write(pipeEnds[1], &byte, 1);
  errno = savedErrno;
}

bool makePipe() {
  if (pipeEnds[0] >= 0) return true;
  if (::pipe2(pipeEnds, O_CLOEXEC | O_NONBLOCK) != 0) {
    pipeEnds[0] = pipeEnds[1] = -1;
    return false;
  }
  return true;
}

}  // namespace

QtEndSignals::QtEndSignals(std::function<void()> onEndRequest)
    : onEndRequest_(std::move(onEndRequest)) {
  if (!makePipe()) return;
  notifier_ = std::make_unique<QSocketNotifier>(pipeEnds[0], QSocketNotifier::Read);
  connect(notifier_.get(), &QSocketNotifier::activated, this, [this] { readPipe(); });
  for (size_t i = 0; i < std::size(kEndSignals); ++i) {
    struct sigaction current {};
    if (::sigaction(kEndSignals[i], nullptr, &current) != 0) continue;
    if (current.sa_handler == SIG_IGN) continue;
    struct sigaction action {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    installed[i] = ::sigaction(kEndSignals[i], &action, &previous[i]) == 0;
  }
}

QtEndSignals::~QtEndSignals() {
  for (size_t i = 0; i < std::size(kEndSignals); ++i) {
    if (installed[i]) ::sigaction(kEndSignals[i], &previous[i], nullptr);
    installed[i] = false;
  }
}

void QtEndSignals::readPipe() {
  char bytes[64];
  while (::read(pipeEnds[0], bytes, sizeof bytes) > 0) {
  }
  // Later signals find the shut-down running or done: it must not start twice.
  if (requested_) return;
  requested_ = true;
  if (onEndRequest_) step([&] { onEndRequest_(); });
}

}  // namespace zelvo
