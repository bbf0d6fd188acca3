// Where a check tells its progress: lines of their own, and on a terminal one status line
// that is rewritten in place.
#pragma once

#include <string>

namespace zelvo {

class CheckConsole {
 public:
  virtual ~CheckConsole() = default;
  virtual bool isTerminal() const = 0;
  // A line of its own. On a terminal it goes above the status line, which is shown again.
  virtual void printLine(const std::string& text) = 0;
  // Replaces the status line; only a terminal has one.
  virtual void showStatus(const std::string& text) = 0;
  // Says why something could not be done, apart from the progress.
  virtual void printProblem(const std::string& text) = 0;
};

// Standard output, with the status line when it is a terminal; problems go to standard error.
class StdoutConsole : public CheckConsole {
 public:
  StdoutConsole();
  ~StdoutConsole() override;
  bool isTerminal() const override { return terminal_; }
  void printLine(const std::string& text) override;
  void showStatus(const std::string& text) override;
  void printProblem(const std::string& text) override;

 private:
  void clearStatus();
  bool terminal_;
  std::string status_;
};

}  // namespace zelvo
