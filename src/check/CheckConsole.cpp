#include "check/CheckConsole.h"

#include <unistd.h>

#include <cstdio>

namespace zelvo {

namespace {

constexpr const char* kClearLine = "\r\033[K";

}  // namespace

StdoutConsole::StdoutConsole() : terminal_(::isatty(STDOUT_FILENO) == 1) {}

StdoutConsole::~StdoutConsole() {
  if (!status_.empty()) std::fputs("\n", stdout);
  std::fflush(stdout);
}

void StdoutConsole::clearStatus() {
  if (terminal_ && !status_.empty()) std::fputs(kClearLine, stdout);
}

void StdoutConsole::printLine(const std::string& text) {
  clearStatus();
  std::fputs(text.c_str(), stdout);
  std::fputs("\n", stdout);
  if (terminal_ && !status_.empty()) std::fputs(status_.c_str(), stdout);
  std::fflush(stdout);
}

void StdoutConsole::showStatus(const std::string& text) {
  if (!terminal_) return;
  clearStatus();
  status_ = text;
  std::fputs(status_.c_str(), stdout);
  std::fflush(stdout);
}

void StdoutConsole::printProblem(const std::string& text) {
  clearStatus();
  std::fflush(stdout);
  std::fprintf(stderr, "zelvo: %s\n", text.c_str());
  std::fflush(stderr);
  if (terminal_ && !status_.empty()) {
    std::fputs(status_.c_str(), stdout);
    std::fflush(stdout);
  }
}

}  // namespace zelvo
