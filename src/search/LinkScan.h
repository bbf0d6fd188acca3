// The scan of every page the browser completes: stream links become stations and lines of
// the web result file, other links join the page queue, and the next step of the search is armed.
#pragma once

#include <string>

#include "form/Services.h"

namespace zelvo {

class PageQueue;
class ResultFiles;
class SearchRun;

class LinkScan {
 public:
  LinkScan(Context context, PageQueue& queue, ResultFiles& results, SearchRun& run)
      : x_(context), queue_(queue), results_(results), run_(run) {}

  void connect();
  void DocumentComplete(const std::string& url);

 private:
  // Returns false when the search was stopped or the window closed while events ran.
  bool TakeLink(const std::string& link, unsigned run);
  void takeStreamLink(const std::string& link, int rowCount);

  Context x_;
  PageQueue& queue_;
  ResultFiles& results_;
  SearchRun& run_;
};

}  // namespace zelvo
