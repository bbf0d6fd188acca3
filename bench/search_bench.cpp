// The web search on fakes and real files: the scan of one completed page of 10,000 links against
// a long page queue, and one append to a large web result file.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>

#include "fakes/WindowHarness.h"

namespace zelvo::test {
namespace {

constexpr int kPageLinks = 10000;
constexpr int kFillPageLinks = 1000;

std::string fillLink(int i) {
  return "http://site.test/dir" + std::to_string(i % 97) + "/p" + std::to_string(i) + ".html";
}

// What a large page of a site offers: page links the queue does not hold yet, page links that
// wait in the queue already (some in another letter case, some repeated on the page), a few
// stream links and the links the filters drop. The first anchor is never examined.
std::vector<std::string> bigPage(int newLinks, int streamLinks) {
  std::vector<std::string> anchors{"http://site.test/"};
  for (int i = 0; i < streamLinks; ++i) {
    anchors.push_back(i % 2 ? "mms://media.test/live/ch" + std::to_string(i)
                            : "http://media.test/tv/" + std::to_string(i) + ".asx");
  }
  for (int i = 0; i < 50; ++i) {
    anchors.push_back(i % 2 ? "mailto:tv" + std::to_string(i) + "@site.test"
                            : "http://www.baidu.com/s?wd=" + std::to_string(i));
  }
  for (int i = 0; i < newLinks; ++i) {
    anchors.push_back("http://other.test/sec" + std::to_string(i % 31) + "/a" + std::to_string(i) +
                      ".html");
  }
  for (int i = 0; anchors.size() < kPageLinks; ++i) {
    std::string link = fillLink(((i % 10 == 9 ? i - 9 : i) * 7) % 30000);
    if (i % 4 == 0) link = "HTTP://SITE.TEST" + link.substr(16);
    anchors.push_back(link);
  }
  return anchors;
}

// The browser completes the page; the scan runs inside its documentComplete.
void completePage(WindowHarness& h, const std::string& address) {
  h.browser.navigate(address);
  h.loop.advance(h.browser.loadMs);
  h.c.Timer9.setEnabled(false);  // no step: the queue stays as the scan left it
}

// A window after a crawl has queued `rows` pages: the queue is filled by scans of pages of
// 1,000 links each, as a crawl fills it.
std::unique_ptr<WindowHarness> crawledWindow(int rows) {
  auto h = std::make_unique<WindowHarness>();
  h->window->StartUp();
  for (int first = 0; first < rows; first += kFillPageLinks) {
    std::vector<std::string> anchors{"http://site.test/"};
    for (int i = first; i < std::min(rows, first + kFillPageLinks); ++i)
      anchors.push_back(fillLink(i));
    const std::string page = "http://site.test/index" + std::to_string(first) + ".html";
    h->browser.servePage(page, std::move(anchors));
    completePage(*h, page);
  }
  return h;
}

// Arguments: rows waiting in the queue, page links of the page the queue does not hold yet,
// stream links on the page.
void ScanCompletedPage(benchmark::State& state) {
  const int queueRows = static_cast<int>(state.range(0));
  const auto anchors = bigPage(static_cast<int>(state.range(1)), static_cast<int>(state.range(2)));
  int queueAfter = 0;
  for (auto _ : state) {
    state.PauseTiming();
    auto h = crawledWindow(queueRows);
    if (h->c.tvmx.count() != queueRows) state.SkipWithError("the queue was not filled");
    h->browser.servePage("http://site.test/big.html", anchors);
    state.ResumeTiming();
    completePage(*h, "http://site.test/big.html");
    state.PauseTiming();
    queueAfter = h->c.tvmx.count();
    h.reset();
    state.ResumeTiming();
  }
  state.counters["queue_after"] = queueAfter;
}
// The queue's limit of 32,767 rows: 2,700 new links fit beside 30,000 waiting rows.
BENCHMARK(ScanCompletedPage)
    ->ArgNames({"queue", "new", "streams"})
    ->Args({30000, 2700, 0})
    ->Args({30000, 2700, 20})
    ->Args({0, 2700, 0})
    ->Args({0, 2700, 20})
    ->Args({30000, 9000, 0})  // the queue fills up: most new links are dropped
    ->Iterations(10)
    ->Unit(benchmark::kMillisecond);

// tv_lib_ss_www.txt of about 1 MB after many searches.
void writeLargeWebResults(WindowHarness& h) {
  std::vector<std::string> lines;
  size_t bytes = 0;
  for (int i = 0; bytes < 1024 * 1024; ++i) {
    lines.push_back(std::to_string(i) + "tvm,mms://host" + std::to_string(i % 50) + ".test/live/" +
                    std::to_string(i) + ",");
    bytes += lines.back().size() + 2;
  }
  h.writeFile("tv_lib_ss_www.txt", lines);
}

void AppendWebFindTo1MB(benchmark::State& state) {
  WindowHarness h;
  writeLargeWebResults(h);
  int i = 0;
  for (auto _ : state) {
    h.window->resultFiles().AppendWebFind(std::to_string(100000 + i) + "tvm,mms://new.test/" +
                                          std::to_string(i) + ",");
    ++i;
  }
  state.SetLabel("folder " + std::filesystem::path(h.folder.path()).parent_path().string());
  state.counters["file_kB"] =
      static_cast<double>(std::filesystem::file_size(h.path("tv_lib_ss_www.txt"))) / 1024;
}
BENCHMARK(AppendWebFindTo1MB)->Unit(benchmark::kMillisecond);

// A record the file holds already: the file is read and left as it is.
void AppendWebFindPresentIn1MB(benchmark::State& state) {
  WindowHarness h;
  writeLargeWebResults(h);
  for (auto _ : state) h.window->resultFiles().AppendWebFind("1000tvm,mms://host0.test/live/1000,");
}
BENCHMARK(AppendWebFindPresentIn1MB)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace zelvo::test
