#include "support/ProgramRun.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include "fakes/TempFolder.h"

extern char** environ;

namespace zelvo::test {

RunningProgram::RunningProgram(const std::vector<std::string>& arguments,
                               const std::string& scratchFolder,
                               const std::map<std::string, std::string>& setEnvironment)
    : outFile_(scratchFolder + "/program.out"), errFile_(scratchFolder + "/program.err") {
  std::vector<std::string> variables;
  for (char** entry = environ; *entry; ++entry) {
    const std::string variable = *entry;
    if (!setEnvironment.count(variable.substr(0, variable.find('='))))
      variables.push_back(variable);
  }
  for (const auto& [name, value] : setEnvironment) variables.push_back(name + "=" + value);
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
  posix_spawn_file_actions_addopen(&files, STDERR_FILENO, errFile_.c_str(),
                                   O_WRONLY | O_CREAT | O_TRUNC, 0644);
  if (posix_spawnp(&pid_, argv[0], &files, nullptr, argv.data(), envp.data()) != 0) pid_ = -1;
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
  result.err = fileBytes(errFile_);
  return result;
}

ProgramResult runProgram(const std::vector<std::string>& arguments,
                         const std::string& scratchFolder, int timeoutMs,
                         const std::map<std::string, std::string>& setEnvironment) {
  return RunningProgram(arguments, scratchFolder, setEnvironment).finish(timeoutMs);
}

}  // namespace zelvo::test
