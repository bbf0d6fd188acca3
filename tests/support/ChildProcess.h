// A helper program a test runs beside itself (an encoder, a server): started with its standard
// streams set up by the caller, and certain to be gone when the object goes.
#pragma once

#include <spawn.h>
#include <sys/types.h>

#include <functional>
#include <string>
#include <vector>

namespace zelvo::test {

class ChildProcess {
 public:
  using Streams = std::function<void(posix_spawn_file_actions_t&)>;
  // Starts arguments[0], found on PATH when it names no folder, with its standard streams as
  // streams sets them up (inherited when it adds nothing); throws std::runtime_error naming
  // what when it cannot start.
  ChildProcess(const std::vector<std::string>& arguments, const Streams& streams,
               const std::string& what);
  ~ChildProcess() { stop(); }
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  // Whether it has ended by itself (or was stopped); an ended child is reaped.
  bool ended();
  // SIGTERM, up to 3 s for its end, then SIGKILL; it is reaped either way.
  void stop();

 private:
  pid_t pid_ = -1;
};

}  // namespace zelvo::test
