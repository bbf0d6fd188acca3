// Which web search is under way. Stopping or starting a search abandons the one before: a
// page scan or a step that let events run sees on its return that it must not go on.
#pragma once

namespace zelvo {

class SearchRun {
 public:
  unsigned current() const { return run_; }
  void abandon() { ++run_; }

 private:
  unsigned run_ = 0;
};

}  // namespace zelvo
