// Runs a program to its end with a bound on its time, and gives what a user at a terminal
// would see of it: its exit status, its standard output and its standard error.
#pragma once

#include <string>
#include <vector>

namespace zelvo::test {

struct ProgramResult {
  int status = -1;  // the exit status; -1 when it was killed or could not start
  std::string out;
  std::string err;
};

// arguments[0] is the program. Standard input is /dev/null; the program is killed after
// timeoutMs. scratchFolder holds the captured output.
ProgramResult runProgram(const std::vector<std::string>& arguments,
                         const std::string& scratchFolder, int timeoutMs = 60000);

}  // namespace zelvo::test
