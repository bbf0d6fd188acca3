// Ending the process, as the main window does when it closes or a player check fails.
#pragma once

namespace zelvo {

class Process {
 public:
  virtual ~Process() = default;
  // Asks the process to end with the given status once the current handler returns.
  virtual void end(int status) = 0;
  // True once end() was called: work that lets events run stops at its next yield.
  virtual bool ending() const = 0;
};

}  // namespace zelvo
