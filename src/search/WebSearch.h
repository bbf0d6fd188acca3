// The web search crawl: "网上搜索" starts it in the browser, Timer9 steps from page to page
// through the page queue, a click on a queue row goes on from there, downloads are refused.
#pragma once

#include "form/Services.h"

namespace zelvo {

class PageQueue;
class Timer;

// Arms the one-shot step of the search. A step already armed keeps its count: a page's load
// reports its end twice, and the step comes 100 ms after the first news.
void armSearchStep(Timer& timer9);

class Playback;
class SearchRun;

class WebSearch {
 public:
  WebSearch(Context context, Playback& playback, PageQueue& queue, SearchRun& run)
      : x_(context), playback_(playback), queue_(queue), run_(run) {}

  void connect();
  void StartClicked();  // Command17
  void Timer9Tick();
  void QueueRowClicked();  // tvmx
  void VisitNextPage();

 private:
  void ScanButtonKeyDown(int keyCode);  // Command10
  // Whether the head of the queue may be loaded.
  bool usable(const std::string& head) const;

  Context x_;
  Playback& playback_;
  PageQueue& queue_;
  SearchRun& run_;
};

}  // namespace zelvo
