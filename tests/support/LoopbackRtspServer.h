// A loopback RTSP server for integration tests: a separate program (GStreamer's RTSP server)
// that serves a live test picture on 127.0.0.1 and is stopped when this object goes.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "support/ChildProcess.h"

namespace zelvo::test {

class LoopbackRtspServer {
 public:
  // Starts the server and waits until it listens, at most startTimeoutMs; throws
  // std::runtime_error when it does not start in time.
  explicit LoopbackRtspServer(int startTimeoutMs = 20000);
  // Asks the server to end, waits a moment, then kills it; never leaves it running.
  ~LoopbackRtspServer();
  LoopbackRtspServer(const LoopbackRtspServer&) = delete;
  LoopbackRtspServer& operator=(const LoopbackRtspServer&) = delete;

  uint16_t port() const { return port_; }
  // "rtsp://127.0.0.1:PORT/live": a live stream that never ends by itself.
  std::string url() const;

 private:
  void stop();

  std::unique_ptr<ChildProcess> server_;
  int input_ = -1;   // the server's standard input; closing it ends the server too
  int output_ = -1;  // the server's standard output, where it says its port
  uint16_t port_ = 0;
};

}  // namespace zelvo::test
