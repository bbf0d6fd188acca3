// A small HTTP server on 127.0.0.1 for integration tests: serves files from a folder and
// can misbehave on purpose (404, never answering, asking for a log-in, stalling). It runs on its
// own thread and stops when destroyed.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace zelvo::test {

class LoopbackHttpServer {
 public:
  enum class Mode {
    Serve,         // files of the folder; 404 for anything else
    Silent,        // accepts connections and never answers
    Unauthorized,  // answers every request with 401 and asks for a Basic log-in
    Stall,         // sends the first third of a file, then nothing more, keeping the connection
    Drop,          // sends at most the first third of a file, then closes the connection
    NoRanges,      // files of the folder, always whole from the start: byte ranges are ignored
  };
  explicit LoopbackHttpServer(std::string folder, Mode mode = Mode::Serve);
  ~LoopbackHttpServer();
  LoopbackHttpServer(const LoopbackHttpServer&) = delete;
  LoopbackHttpServer& operator=(const LoopbackHttpServer&) = delete;

  // A fixed answer for one path, given instead of the folder's file in every mode that answers
  // requests (all but Silent and Unauthorized).
  struct Reply {
    int status = 200;
    std::string contentType = "text/html; charset=utf-8";
    std::string body;
    std::string extraHeaders;  // whole header lines, each ending in "\r\n"
    bool finished = true;      // false: announces more than the body, sends the body, then waits
  };
  // path: as requested, without its query ("/page.html").
  void setReply(const std::string& path, Reply reply);
  // From now on every request that lacks this header with exactly this value (the name in any
  // letter case) is answered 403, as servers that admit only their own player or site do.
  // Each call adds one more required header.
  void requireHeader(std::string name, std::string value);
  // The paths of the requests received so far, in order, decoded and without their queries.
  std::vector<std::string> requestedPaths() const;
  // The same requests with their queries ("/page.html?3").
  std::vector<std::string> requestedTargets() const;
  // The same requests' heads as sent: the request line and the header lines.
  std::vector<std::string> requestHeads() const;

  // While on, the server is away: connections that are open break off, and each new one is
  // closed unanswered, so that no request reaches it. Connections made meanwhile are counted.
  void setOutage(bool on);
  int connectionsDuringOutage() const;

  uint16_t port() const;
  // "http://127.0.0.1:PORT/" + path
  std::string url(const std::string& path) const;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

// A port on 127.0.0.1 with nothing listening: connections to it are refused.
uint16_t refusedPort();

}  // namespace zelvo::test
