// A small HTTP/1.1 server on 127.0.0.1 for integration tests: a thread per connection,
// byte ranges for players that seek, and a silent mode that never answers.
#include "support/LoopbackHttpServer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <cerrno>
#include <condition_variable>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <mutex>
#include <optional>
#include <set>
#include <stdexcept>
#include <thread>
#include <vector>

namespace zelvo::test {

namespace {

int listeningSocket(uint16_t* port) {
  int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) throw std::runtime_error("cannot create a socket");
  int yes = 1;
  ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = 0;
  socklen_t length = sizeof address;
  if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
      ::listen(fd, 64) != 0 ||
      ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
    ::close(fd);
    throw std::runtime_error("cannot listen on 127.0.0.1");
  }
  *port = ntohs(address.sin_port);
  return fd;
}

bool sendAll(int fd, const char* data, size_t size) {
  while (size > 0) {
    ssize_t sent = ::send(fd, data, size, MSG_NOSIGNAL);
    if (sent < 0 && errno == EINTR) continue;
    if (sent <= 0) return false;
    data += sent;
    size -= static_cast<size_t>(sent);
  }
  return true;
}

std::string contentType(const std::filesystem::path& file) {
  std::string extension = file.extension().string();
  std::transform(extension.begin(), extension.end(), extension.begin(), ::tolower);
  if (extension == ".ts") return "video/mp2t";
  if (extension == ".m3u8") return "application/vnd.apple.mpegurl";
  if (extension == ".mpd") return "application/dash+xml";
  if (extension == ".m4s") return "video/iso.segment";
  if (extension == ".mp4") return "video/mp4";
  if (extension == ".asx") return "video/x-ms-asf";
  if (extension == ".html" || extension == ".htm") return "text/html; charset=utf-8";
  if (extension == ".txt") return "text/plain; charset=utf-8";
  return "application/octet-stream";
}

std::string percentDecoded(const std::string& text) {
  std::string decoded;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '%' && i + 2 < text.size()) {
      decoded += static_cast<char>(std::stoi(text.substr(i + 1, 2), nullptr, 16));
      i += 2;
    } else {
      decoded += text[i];
    }
  }
  return decoded;
}

std::string reasonPhrase(int status) {
  switch (status) {
    case 200:
      return "OK";
    case 401:
      return "Unauthorized";
    case 403:
      return "Forbidden";
    case 404:
      return "Not Found";
    case 500:
      return "Internal Server Error";
    default:
      return "Status";
  }
}

std::string lowerCase(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(), ::tolower);
  return text;
}

// Whether the request head holds the header with exactly this value.
bool hasHeader(const std::string& head, const std::string& lowerName, const std::string& value) {
  size_t lineStart = head.find("\r\n");
  while (lineStart != std::string::npos) {
    lineStart += 2;
    const size_t lineEnd = head.find("\r\n", lineStart);
    const std::string line = head.substr(lineStart, lineEnd - lineStart);
    const size_t colon = line.find(':');
    if (colon != std::string::npos && lowerCase(line.substr(0, colon)) == lowerName) {
      const size_t valueStart = line.find_first_not_of(' ', colon + 1);
      if (valueStart != std::string::npos && line.substr(valueStart) == value) return true;
    }
    lineStart = lineEnd;
  }
  return false;
}

}  // namespace

struct LoopbackHttpServer::Impl {
  std::string folder;
  Mode mode;
  int listenFd = -1;
  uint16_t port = 0;
  std::atomic<bool> stopping{false};
  std::atomic<bool> outage{false};
  std::atomic<int> outageConnections{0};
  std::thread acceptor;

  std::mutex mutex;
  std::condition_variable finished;
  std::set<int> openSockets;
  int runningConnections = 0;
  std::map<std::string, Reply> replies;
  std::vector<std::pair<std::string, std::string>> requiredHeaders;  // lower-case name, value
  std::vector<std::string> requests;
  std::vector<std::string> requestTargets;
  std::vector<std::string> requestHeads;

  void acceptLoop() {
    while (!stopping) {
      pollfd waiting{listenFd, POLLIN, 0};
      int ready = ::poll(&waiting, 1, 100);
      if (ready <= 0) continue;
      int client = ::accept4(listenFd, nullptr, nullptr, SOCK_CLOEXEC);
      if (client < 0) continue;
      if (outage) {
        ++outageConnections;
        ::close(client);
        continue;
      }
      std::lock_guard lock(mutex);
      if (stopping) {
        ::close(client);
        break;
      }
      openSockets.insert(client);
      ++runningConnections;
      // Detached: the destructor waits on runningConnections instead of joining.
      std::thread([this, client] { serveConnection(client); }).detach();
    }
  }

  void serveConnection(int client) {
    try {
      if (mode == Mode::Silent) {
        char sink[1024];
        while (!stopping && ::recv(client, sink, sizeof sink, 0) > 0) {
        }
      } else {
        answer(client);
      }
    } catch (...) {
    }
    std::lock_guard lock(mutex);
    openSockets.erase(client);
    ::close(client);
    --runningConnections;
    finished.notify_all();
  }

  // Reads up to the blank line that ends the request head.
  std::string readHead(int client) {
    std::string head;
    char buffer[2048];
    while (head.find("\r\n\r\n") == std::string::npos && head.size() < 65536) {
      ssize_t got = ::recv(client, buffer, sizeof buffer, 0);
      if (got < 0 && errno == EINTR) continue;
      if (got <= 0) break;
      head.append(buffer, static_cast<size_t>(got));
    }
    return head;
  }

  void answer(int client) {
    std::string head = readHead(client);
    size_t lineEnd = head.find("\r\n");
    if (lineEnd == std::string::npos) return;
    std::string requestLine = head.substr(0, lineEnd);
    size_t firstSpace = requestLine.find(' ');
    size_t secondSpace = requestLine.find(' ', firstSpace + 1);
    if (firstSpace == std::string::npos || secondSpace == std::string::npos) return;
    std::string method = requestLine.substr(0, firstSpace);
    std::string target = requestLine.substr(firstSpace + 1, secondSpace - firstSpace - 1);
    const size_t queryStart = target.find('?');
    const std::string query = queryStart == std::string::npos ? "" : target.substr(queryStart);
    target = percentDecoded(target.substr(0, queryStart));

    {
      std::lock_guard lock(mutex);
      requests.push_back(target);
      requestTargets.push_back(target + query);
      requestHeads.push_back(head.substr(0, head.find("\r\n\r\n")));
    }
    if (!admitted(head)) {
      Reply forbidden;
      forbidden.status = 403;
      forbidden.contentType = "text/plain";
      forbidden.body = "forbidden\n";
      sendReply(client, method, forbidden);
      return;
    }
    if (mode == Mode::Unauthorized) {
      const std::string body = "log-in required\n";
      std::string reply =
          "HTTP/1.1 401 Unauthorized\r\nWWW-Authenticate: Basic realm=\"zelvo test\"\r\n"
          "Content-Type: text/plain\r\nContent-Length: " +
          std::to_string(body.size()) + "\r\nConnection: close\r\n\r\n";
      if (method != "HEAD") reply += body;
      sendAll(client, reply.data(), reply.size());
      return;
    }
    if (std::optional<Reply> reply = replyFor(target)) {
      sendReply(client, method, *reply);
      return;
    }
    std::filesystem::path file = std::filesystem::path(folder) / target.substr(1);
    std::error_code error;
    bool servable = (method == "GET" || method == "HEAD") && !target.empty() && target[0] == '/' &&
                    target.find("..") == std::string::npos &&
                    std::filesystem::is_regular_file(file, error);
    if (!servable) {
      const std::string body = "not found\n";
      std::string reply = "HTTP/1.1 404 Not Found\r\nContent-Type: text/plain\r\nContent-Length: " +
                          std::to_string(body.size()) + "\r\nConnection: close\r\n\r\n";
      if (method != "HEAD") reply += body;
      sendAll(client, reply.data(), reply.size());
      return;
    }

    uintmax_t size = std::filesystem::file_size(file, error);
    uintmax_t first = 0;
    bool ranged = false;
    std::string lowerHead = head;
    std::transform(lowerHead.begin(), lowerHead.end(), lowerHead.begin(), ::tolower);
    size_t range = lowerHead.find("\r\nrange: bytes=");
    if (range != std::string::npos && mode != Mode::NoRanges) {
      size_t digits = range + std::strlen("\r\nrange: bytes=");
      if (digits < lowerHead.size() &&
          std::isdigit(static_cast<unsigned char>(lowerHead[digits]))) {
        first = std::stoull(lowerHead.substr(digits));
        ranged = true;
      }
    }
    if (ranged && first >= size && size > 0) {
      std::string reply = "HTTP/1.1 416 Range Not Satisfiable\r\nContent-Range: bytes */" +
                          std::to_string(size) +
                          "\r\nContent-Length: 0\r\nConnection: close\r\n\r\n";
      sendAll(client, reply.data(), reply.size());
      return;
    }
    std::string reply = ranged ? "HTTP/1.1 206 Partial Content\r\n" : "HTTP/1.1 200 OK\r\n";
    reply += "Content-Type: " + contentType(file) + "\r\n";
    reply += "Content-Length: " + std::to_string(size - first) + "\r\n";
    if (mode != Mode::NoRanges) reply += "Accept-Ranges: bytes\r\n";
    if (ranged) {
      reply += "Content-Range: bytes " + std::to_string(first) + "-" +
               std::to_string(size == 0 ? 0 : size - 1) + "/" + std::to_string(size) + "\r\n";
    }
    reply += "Connection: close\r\n\r\n";
    if (!sendAll(client, reply.data(), reply.size()) || method == "HEAD") return;

    std::ifstream input(file, std::ios::binary);
    input.seekg(static_cast<std::streamoff>(first));
    std::vector<char> chunk(64 * 1024);
    uintmax_t left = size - first;
    if (mode == Mode::Stall) left /= 3;
    if (mode == Mode::Drop) left = first < size / 3 ? size / 3 - first : 0;
    while (!stopping && input && left > 0) {
      const auto want = static_cast<std::streamsize>(std::min<uintmax_t>(chunk.size(), left));
      input.read(chunk.data(), want);
      std::streamsize got = input.gcount();
      if (got <= 0 || !sendAll(client, chunk.data(), static_cast<size_t>(got))) break;
      left -= static_cast<uintmax_t>(got);
    }
    // A stalled server keeps the connection open and quiet until it is stopped.
    if (mode == Mode::Stall) waitForClose(client);
  }

  void waitForClose(int client) {
    while (!stopping) {
      pollfd closed{client, POLLRDHUP, 0};
      if (::poll(&closed, 1, 100) > 0) break;
    }
  }

  bool admitted(const std::string& head) {
    const size_t end = head.find("\r\n\r\n");
    const std::string lines = end == std::string::npos ? head : head.substr(0, end + 2);
    std::lock_guard lock(mutex);
    for (const auto& [name, value] : requiredHeaders)
      if (!hasHeader(lines, name, value)) return false;
    return true;
  }

  std::optional<Reply> replyFor(const std::string& target) {
    std::lock_guard lock(mutex);
    auto found = replies.find(target);
    if (found == replies.end()) return std::nullopt;
    return found->second;
  }

  void sendReply(int client, const std::string& method, const Reply& reply) {
    const size_t announced = reply.finished ? reply.body.size() : reply.body.size() + 1000000;
    std::string head = "HTTP/1.1 " + std::to_string(reply.status) + " " +
                       reasonPhrase(reply.status) + "\r\nContent-Type: " + reply.contentType +
                       "\r\nContent-Length: " + std::to_string(announced) + "\r\n" +
                       reply.extraHeaders + "Connection: close\r\n\r\n";
    if (method != "HEAD") head += reply.body;
    if (!sendAll(client, head.data(), head.size())) return;
    if (!reply.finished) waitForClose(client);
  }
};

LoopbackHttpServer::LoopbackHttpServer(std::string folder, Mode mode)
    : impl_(std::make_unique<Impl>()) {
  impl_->folder = std::move(folder);
  impl_->mode = mode;
  impl_->listenFd = listeningSocket(&impl_->port);
  impl_->acceptor = std::thread([impl = impl_.get()] { impl->acceptLoop(); });
}

LoopbackHttpServer::~LoopbackHttpServer() {
  impl_->stopping = true;
  impl_->acceptor.join();
  ::close(impl_->listenFd);
  std::unique_lock lock(impl_->mutex);
  // Shutting the sockets down wakes every connection thread blocked in recv or send.
  for (int client : impl_->openSockets) ::shutdown(client, SHUT_RDWR);
  impl_->finished.wait(lock, [this] { return impl_->runningConnections == 0; });
}

void LoopbackHttpServer::setOutage(bool on) {
  impl_->outage = on;
  if (!on) return;
  std::lock_guard lock(impl_->mutex);
  for (int client : impl_->openSockets) ::shutdown(client, SHUT_RDWR);
}

int LoopbackHttpServer::connectionsDuringOutage() const { return impl_->outageConnections; }

void LoopbackHttpServer::setReply(const std::string& path, Reply reply) {
  std::lock_guard lock(impl_->mutex);
  impl_->replies[path] = std::move(reply);
}

void LoopbackHttpServer::requireHeader(std::string name, std::string value) {
  std::lock_guard lock(impl_->mutex);
  impl_->requiredHeaders.emplace_back(lowerCase(std::move(name)), std::move(value));
}

std::vector<std::string> LoopbackHttpServer::requestedPaths() const {
  std::lock_guard lock(impl_->mutex);
  return impl_->requests;
}

std::vector<std::string> LoopbackHttpServer::requestHeads() const {
  std::lock_guard lock(impl_->mutex);
  return impl_->requestHeads;
}

std::vector<std::string> LoopbackHttpServer::requestedTargets() const {
  std::lock_guard lock(impl_->mutex);
  return impl_->requestTargets;
}

uint16_t LoopbackHttpServer::port() const { return impl_->port; }

std::string LoopbackHttpServer::url(const std::string& path) const {
  return "http://127.0.0.1:" + std::to_string(impl_->port) + "/" + path;
}

uint16_t refusedPort() {
  uint16_t port = 0;
  int fd = listeningSocket(&port);
  ::close(fd);
  return port;
}

}  // namespace zelvo::test
