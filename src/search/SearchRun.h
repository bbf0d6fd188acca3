// Which web search is under way, and the pages it has visited. Stopping or starting a search
// abandons the one before: a page scan or a step that let events run sees on its return that it
// must not go on. A page visited once in a search is never queued again in it, so a site whose
// pages link to one another in a cycle is crawled to its end.
#pragma once

#include <string>
#include <unordered_set>

namespace zelvo {

class SearchRun {
 public:
  unsigned current() const { return run_; }
  void abandon() { ++run_; }
  // A new web search: the one before is abandoned and its visited pages are forgotten.
  void startAfresh() {
    abandon();
    visited_.clear();
  }
  // Addresses compare ignoring letter case, as the page queue compares them.
  void visit(const std::string& page);
  bool visited(const std::string& page) const;

 private:
  unsigned run_ = 0;
  std::unordered_set<std::string> visited_;
};

}  // namespace zelvo
