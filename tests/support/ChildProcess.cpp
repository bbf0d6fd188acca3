// Starting and ending a test's helper program. The end is bounded: a child that ignores
// SIGTERM for 3 s is killed.
#include "support/ChildProcess.h"

#include <signal.h>
#include <sys/wait.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <stdexcept>
#include <thread>

extern char** environ;

namespace zelvo::test {

namespace {

// Waits for the child to end within the time given; true when it has.
bool reaped(pid_t pid, std::chrono::milliseconds within) {
  const auto deadline = std::chrono::steady_clock::now() + within;
  while (true) {
    int status = 0;
    const pid_t done = ::waitpid(pid, &status, WNOHANG);
    if (done == pid || (done < 0 && errno == ECHILD)) return true;
    if (std::chrono::steady_clock::now() >= deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
}

}  // namespace

ChildProcess::ChildProcess(const std::vector<std::string>& arguments, const Streams& streams,
                           const std::string& what) {
  std::vector<std::string> words = arguments;
  std::vector<char*> argv;
  for (std::string& word : words) argv.push_back(word.data());
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  if (streams) streams(actions);
  const int spawned = ::posix_spawnp(&pid_, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (spawned != 0) {
    pid_ = -1;
    throw std::runtime_error("cannot start " + what + ": " + std::strerror(spawned));
  }
}

bool ChildProcess::ended() {
  if (pid_ <= 0) return true;
  if (!reaped(pid_, std::chrono::milliseconds(0))) return false;
  pid_ = -1;
  return true;
}

void ChildProcess::stop() {
  if (pid_ <= 0) return;
  ::kill(pid_, SIGTERM);
  if (!reaped(pid_, std::chrono::seconds(3))) {
    ::kill(pid_, SIGKILL);
    reaped(pid_, std::chrono::seconds(3));
  }
  pid_ = -1;
}

}  // namespace zelvo::test
