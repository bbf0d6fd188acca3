#include "support/ProgramRun.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <thread>

#include "support/TempFolder.h"

extern char** environ;

namespace zelvo::test {

RunningProgram::RunningProgram(const std::vector<std::string>& arguments,
                               const std::string& scratchFolder, const ProgramStart& start)
    : outFile_(scratchFolder + "/program.out"),
      errFile_(start.oneOutput ? std::string() : scratchFolder + "/program.err") {
  std::vector<std::string> variables;
  for (char** entry = environ; *entry; ++entry) {
    const std::string variable = *entry;
    const std::string name = variable.substr(0, variable.find('='));
    if (!start.setEnvironment.count(name) &&
        std::find(start.unsetEnvironment.begin(), start.unsetEnvironment.end(), name) ==
            start.unsetEnvironment.end())
      variables.push_back(variable);
  }
  for (const auto& [name, value] : start.setEnvironment) variables.push_back(name + "=" + value);
  std::vector<char*> envp;
  for (std::string& variable : variables) envp.push_back(variable.data());
  envp.push_back(nullptr);
  std::vector<char*> argv;
  for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);
  posix_spawn_file_actions_t files;
  posix_spawn_file_actions_init(&files);
  posix_spawn_file_actions_addopen(&files, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&files, STDOUT_FILENO, outFile_.c_str(),
                                   O_WRONLY | O_CREAT | O_TRUNC, 0644);
  if (start.oneOutput) {
    posix_spawn_file_actions_adddup2(&files, STDOUT_FILENO, STDERR_FILENO);
  } else {
    posix_spawn_file_actions_addopen(&files, STDERR_FILENO, errFile_.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0644);
  }
  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  if (start.defaultSignals) {
    sigset_t defaults, none;
    sigemptyset(&defaults);
    for (int number : {SIGINT, SIGTERM, SIGHUP}) sigaddset(&defaults, number);
    sigemptyset(&none);
    posix_spawnattr_setsigdefault(&attributes, &defaults);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK);
  }
  if (posix_spawnp(&pid_, argv[0], &files, &attributes, argv.data(), envp.data()) != 0) pid_ = -1;
  posix_spawnattr_destroy(&attributes);
  posix_spawn_file_actions_destroy(&files);
}

RunningProgram::~RunningProgram() {
  if (pid_ > 0) finish(0);
}

bool RunningProgram::running() {
  if (pid_ <= 0 || ended_) return false;
  ended_ = waitpid(pid_, &endedStatus_, WNOHANG) == pid_;
  return !ended_;
}

ProgramResult RunningProgram::finish(int timeoutMs) {
  ProgramResult result;
  if (pid_ <= 0) return result;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  int waitStatus = endedStatus_;
  while (!ended_) {
    const pid_t done = waitpid(pid_, &waitStatus, WNOHANG);
    if (done == pid_) break;
    if (done < 0) {
      waitStatus = -1;
      break;
    }
    if (std::chrono::steady_clock::now() >= deadline) {
      kill(pid_, SIGKILL);
      waitpid(pid_, &waitStatus, 0);
      waitStatus = -1;
      break;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  pid_ = -1;
  if (waitStatus != -1 && WIFEXITED(waitStatus)) result.status = WEXITSTATUS(waitStatus);
  result.out = fileBytes(outFile_);
  if (!errFile_.empty()) result.err = fileBytes(errFile_);
  return result;
}

int RunningProgram::waitForExit(int timeoutMs) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  while (running() && std::chrono::steady_clock::now() < deadline)
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  if (!ended_) return -1;
  if (WIFEXITED(endedStatus_)) return WEXITSTATUS(endedStatus_);
  return WIFSIGNALED(endedStatus_) ? 128 + WTERMSIG(endedStatus_) : -1;
}

std::string RunningProgram::output() const {
  return fileBytes(outFile_) + (errFile_.empty() ? std::string() : fileBytes(errFile_));
}

std::string RunningProgram::threadStacks() const {
  if (::access("/usr/bin/gdb", X_OK) != 0 || pid_ <= 0) return {};
  TempFolder scratch;
  const ProgramResult gdb = runProgram(
      {"/usr/bin/gdb", "-batch", "-p", std::to_string(pid_), "-ex", "thread apply all bt 30"},
      scratch.path(), 60000);
  return "threads of " + std::to_string(pid_) + ":\n" + gdb.out;
}

ProgramResult runProgram(const std::vector<std::string>& arguments,
                         const std::string& scratchFolder, int timeoutMs,
                         const std::map<std::string, std::string>& setEnvironment) {
  return RunningProgram(arguments, scratchFolder, setEnvironment).finish(timeoutMs);
}

}  // namespace zelvo::test
