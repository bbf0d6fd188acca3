// Runs a program to its end with a bound on its time, and gives what a user at a terminal
// would see of it: its exit status, its standard output and its standard error.
#pragma once

#include <sys/types.h>

#include <map>
#include <string>
#include <vector>

namespace zelvo::test {

struct ProgramResult {
  int status = -1;  // the exit status; -1 when it was killed or could not start
  std::string out;
  std::string err;
};

// How a program is started, beyond its arguments.
struct ProgramStart {
  // The environment is this process's, with these variables set and these removed.
  std::map<std::string, std::string> setEnvironment;
  std::vector<std::string> unsetEnvironment;
  // SIGINT, SIGTERM and SIGHUP at their default action and no signal blocked, as a desktop
  // session starts a program; a test run in the background from a script would pass on
  // ignored ones.
  bool defaultSignals = false;
  // Standard output and standard error into one file, in the order they were written.
  bool oneOutput = false;
};

// A program started with standard input on /dev/null and its output captured in files of
// scratchFolder. arguments[0] is the program, found on PATH when it names no folder.
class RunningProgram {
 public:
  RunningProgram(const std::vector<std::string>& arguments, const std::string& scratchFolder,
                 const ProgramStart& start);
  RunningProgram(const std::vector<std::string>& arguments, const std::string& scratchFolder,
                 const std::map<std::string, std::string>& setEnvironment = {})
      : RunningProgram(arguments, scratchFolder, ProgramStart{setEnvironment, {}, false, false}) {}
  ~RunningProgram();
  RunningProgram(const RunningProgram&) = delete;
  RunningProgram& operator=(const RunningProgram&) = delete;

  pid_t pid() const { return pid_; }
  // Whether it has not ended yet.
  bool running();
  // Waits for its end; kills it after timeoutMs.
  ProgramResult finish(int timeoutMs);
  // Waits up to timeoutMs for its end and leaves it running after that: its exit status,
  // 128 + the signal that ended it, or -1 while it still runs.
  int waitForExit(int timeoutMs);
  // What it has written so far, standard output first.
  std::string output() const;
  // For a failed test: each of its threads' stacks as gdb shows them, when gdb is installed.
  std::string threadStacks() const;

 private:
  std::string outFile_;
  std::string errFile_;
  pid_t pid_ = -1;
  int endedStatus_ = 0;  // the wait status, once running() saw it end
  bool ended_ = false;
};

ProgramResult runProgram(const std::vector<std::string>& arguments,
                         const std::string& scratchFolder, int timeoutMs = 60000,
                         const std::map<std::string, std::string>& setEnvironment = {});

}  // namespace zelvo::test
