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

ProgramResult runProgram(const std::vector<std::string>& arguments,
                         const std::string& scratchFolder, int timeoutMs) {
  const std::string outFile = scratchFolder + "/program.out";
  const std::string errFile = scratchFolder + "/program.err";
  std::vector<char*> argv;
  for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);

  posix_spawn_file_actions_t files;
  posix_spawn_file_actions_init(&files);
  posix_spawn_file_actions_addopen(&files, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&files, STDOUT_FILENO, outFile.c_str(),
                                   O_WRONLY | O_CREAT | O_TRUNC, 0644);
  posix_spawn_file_actions_addopen(&files, STDERR_FILENO, errFile.c_str(),
                                   O_WRONLY | O_CREAT | O_TRUNC, 0644);
  pid_t pid = -1;
  const int spawned = posix_spawn(&pid, argv[0], &files, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&files);
  ProgramResult result;
  if (spawned != 0) return result;

  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  int waitStatus = 0;
  for (;;) {
    const pid_t done = waitpid(pid, &waitStatus, WNOHANG);
    if (done == pid) break;
    if (done < 0) return result;
    if (std::chrono::steady_clock::now() >= deadline) {
      kill(pid, SIGKILL);
      waitpid(pid, &waitStatus, 0);
      waitStatus = -1;
      break;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  if (waitStatus != -1 && WIFEXITED(waitStatus)) result.status = WEXITSTATUS(waitStatus);
  result.out = fileBytes(outFile);
  result.err = fileBytes(errFile);
  return result;
}

}  // namespace zelvo::test
