// Starts and stops the loopback RTSP server program. Its start is bounded (it must say its port
// in time) and its end is certain (SIGTERM, then SIGKILL, and its input closed either way).
#include "support/LoopbackRtspServer.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <stdexcept>

namespace zelvo::test {

using Clock = std::chrono::steady_clock;

LoopbackRtspServer::LoopbackRtspServer(int startTimeoutMs) {
  int toServer[2] = {-1, -1};
  int fromServer[2] = {-1, -1};
  if (::pipe2(toServer, O_CLOEXEC) != 0 || ::pipe2(fromServer, O_CLOEXEC) != 0) {
    for (int fd : {toServer[0], toServer[1], fromServer[0], fromServer[1]}) {
      if (fd >= 0) ::close(fd);
    }
    throw std::runtime_error("cannot create pipes for the RTSP server");
  }
  input_ = toServer[1];
  output_ = fromServer[0];
  try {
    server_ = std::make_unique<ChildProcess>(
        std::vector<std::string>{ZELVO_RTSP_SERVER_PROGRAM},
        [&](posix_spawn_file_actions_t& streams) {
          posix_spawn_file_actions_adddup2(&streams, toServer[0], 0);
          posix_spawn_file_actions_adddup2(&streams, fromServer[1], 1);
        },
        "the RTSP server");
  } catch (...) {
    ::close(toServer[0]);
    ::close(fromServer[1]);
    stop();
    throw;
  }
  ::close(toServer[0]);
  ::close(fromServer[1]);

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
  server_.reset();
  if (output_ >= 0) ::close(output_);
  output_ = -1;
}

}  // namespace zelvo::test
