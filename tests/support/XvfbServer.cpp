// Starts Xvfb with -displayfd, so it chooses a free display and reports it once it accepts
// connections.
#include "support/XvfbServer.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <stdexcept>

namespace zelvo::test {

namespace {
constexpr int kStartTimeoutMs = 20000;
}

XvfbServer::XvfbServer() {
  int ends[2];
  if (::pipe(ends) != 0) throw std::runtime_error("no pipe for Xvfb");
  pid_ = ::fork();
  if (pid_ < 0) throw std::runtime_error("cannot start Xvfb");
  if (pid_ == 0) {
    // A test program that dies without unwinding takes its server along.
    ::prctl(PR_SET_PDEATHSIG, SIGTERM);
    ::close(ends[0]);
    const int devNull = ::open("/dev/null", O_RDWR);
    ::dup2(devNull, STDIN_FILENO);
    ::dup2(devNull, STDOUT_FILENO);
    ::dup2(devNull, STDERR_FILENO);
    const std::string fd = std::to_string(ends[1]);
    ::execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "1024x768x24", "-nolisten",
             "tcp", "-noreset", static_cast<char*>(nullptr));
    ::_exit(127);
  }
  ::close(ends[1]);
  std::string number;
  const auto deadline =
      std::chrono::steady_clock::now() + std::chrono::milliseconds(kStartTimeoutMs);
  while (number.empty() || number.back() != '\n') {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    pollfd reader{ends[0], POLLIN, 0};
    if (left.count() <= 0 || ::poll(&reader, 1, static_cast<int>(left.count())) <= 0) break;
    char c;
    if (::read(ends[0], &c, 1) != 1) break;
    number += c;
  }
  ::close(ends[0]);
  if (number.empty() || number.back() != '\n') {
    ::kill(pid_, SIGKILL);
    ::waitpid(pid_, nullptr, 0);
    throw std::runtime_error("Xvfb did not start");
  }
  number.pop_back();
  display_ = ":" + number;
}

XvfbServer::~XvfbServer() {
  if (pid_ <= 0) return;
  ::kill(pid_, SIGTERM);
  ::waitpid(pid_, nullptr, 0);
}

}  // namespace zelvo::test
