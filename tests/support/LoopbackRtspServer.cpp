// Starts and stops the loopback RTSP server program. Its start is bounded (it must say its port
// in time) and its end is certain (SIGTERM, then SIGKILL, and its input closed either way).
#include "support/LoopbackRtspServer.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <stdexcept>
#include <thread>

extern char** environ;

namespace zelvo::test {

namespace {

using Clock = std::chrono::steady_clock;

// Waits for the child to end within the time given; true when it has.
bool reaped(pid_t pid, std::chrono::milliseconds within) {
  const auto deadline = Clock::now() + within;
  while (true) {
    int status = 0;
    const pid_t done = ::waitpid(pid, &status, WNOHANG);
    if (done == pid || (done < 0 && errno == ECHILD)) return true;
    if (Clock::now() >= deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
}

}  // namespace

LoopbackRtspServer::LoopbackRtspServer(int startTimeoutMs) {
  int toServer[2] = {-1, -1};
  int fromServer[2] = {-1, -1};
  if (::pipe2(toServer, O_CLOEXEC) != 0 || ::pipe2(fromServer, O_CLOEXEC) != 0) {
    for (int fd : {toServer[0], toServer[1], fromServer[0], fromServer[1]}) {
      if (fd >= 0) ::close(fd);
    }
    throw std::runtime_error("cannot create pipes for the RTSP server");
  }
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, toServer[0], 0);
  posix_spawn_file_actions_adddup2(&actions, fromServer[1], 1);
  char program[] = ZELVO_RTSP_SERVER_PROGRAM;
  char* arguments[] = {program, nullptr};
  const int spawned = ::posix_spawn(&pid_, program, &actions, nullptr, arguments, environ);
  posix_spawn_file_actions_destroy(&actions);
  ::close(toServer[0]);
  ::close(fromServer[1]);
  input_ = toServer[1];
  output_ = fromServer[0];
  if (spawned != 0) {
    pid_ = -1;
    stop();
    throw std::runtime_error(std::string("cannot start the RTSP server: ") +
                             std::strerror(spawned));
  }

  std::string said;
  const auto deadline = Clock::now() + std::chrono::milliseconds(startTimeoutMs);
  while (said.find('\n') == std::string::npos) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    pollfd readable{output_, POLLIN, 0};
    if (left <= 0 || ::poll(&readable, 1, static_cast<int>(left)) <= 0) break;
    char buffer[256];
    const ssize_t got = ::read(output_, buffer, sizeof buffer);
    if (got <= 0) break;
    said.append(buffer, static_cast<size_t>(got));
  }
  int port = 0;
  if (std::sscanf(said.c_str(), "PORT %d", &port) != 1 || port <= 0 || port > 65535) {
    stop();
    throw std::runtime_error("the RTSP server did not start in time");
  }
  port_ = static_cast<uint16_t>(port);
}

LoopbackRtspServer::~LoopbackRtspServer() { stop(); }

std::string LoopbackRtspServer::url() const {
  return "rtsp://127.0.0.1:" + std::to_string(port_) + "/live";
}

void LoopbackRtspServer::stop() {
  if (input_ >= 0) ::close(input_);
  input_ = -1;
  if (pid_ > 0) {
    ::kill(pid_, SIGTERM);
    if (!reaped(pid_, std::chrono::seconds(3))) {
      ::kill(pid_, SIGKILL);
      reaped(pid_, std::chrono::seconds(3));
    }
  }
  pid_ = -1;
  if (output_ >= 0) ::close(output_);
  output_ = -1;
}

}  // namespace zelvo::test
