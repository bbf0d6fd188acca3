// The automatic web search of the real program offscreen through a loopback site of 300 pages
// of 50 links each: prints the pages visited per second until 300 pages were visited or the
// queue ran dry. Timer9's step of 100 ms bounds it at 10 per second. Never pass/fail.
// Usage: zelvo_crawl_probe [runs]
#include <QApplication>
#include <QElapsedTimer>
#include <QWebEngineView>
#include <algorithm>
#include <cstdio>
#include <fstream>
#include <random>
#include <set>

#include "platform/webengine/WebEngineBrowser.h"
#include "program/Composition.h"
#include "run_until.h"
#include "support/LoopbackHttpServer.h"
#include "support/QuietComponents.h"
#include "support/TempFolder.h"
#include "support/TestEnvironment.h"

namespace zelvo::bench {
namespace {

constexpr int kPages = 300;
constexpr int kLinksPerPage = 50;
constexpr int kVisitGoal = 300;
constexpr int kRunLimitMs = 180000;

std::string pageName(int i) { return "p" + std::to_string(i) + ".html"; }

// Page i links to page i + 1, so that every page is reachable from p0, and to 49 others chosen
// at random; every tenth page also offers a stream. The first anchor is never examined.
void writeSite(const test::TempFolder& site) {
  std::mt19937 random(20240501);
  std::uniform_int_distribution<int> anyPage(0, kPages - 1);
  for (int i = 0; i < kPages; ++i) {
    std::string html = "<!DOCTYPE html><html><head><meta charset=\"utf-8\"><title>第" +
                       std::to_string(i) + "页</title></head><body><a href=\"p0.html\">首页</a>\n";
    for (int k = 0; k < kLinksPerPage; ++k) {
      std::string href = pageName(k == 0 ? (i + 1) % kPages : anyPage(random));
      if (k == kLinksPerPage - 1 && i % 10 == 0)
        href = "mms://127.0.0.1/live/ch" + std::to_string(i);
      html += "<a href=\"" + href + "\">链接 " + std::to_string(k) + "</a>\n";
    }
    html += "</body></html>\n";
    std::ofstream(site.file(pageName(i)), std::ios::binary) << html;
  }
}

struct Load {
  long startedMs = -1;
  long finishedMs = -1;  // only for a page that loaded
  bool ended = false;
  std::string url;
};

// What the engine's view reports: when each load started and finished.
class LoadWatch {
 public:
  void attach(QWebEngineView* view, const QElapsedTimer& clock) {
    if (view_ == view || !view) return;
    view_ = view;
    QObject::connect(view, &QWebEngineView::loadStarted, [this, view, &clock] {
      loads_.push_back({clock.elapsed(), -1, false, view->url().toString().toStdString()});
    });
    QObject::connect(view, &QWebEngineView::loadFinished, [this, view, &clock](bool ok) {
      if (loads_.empty() || loads_.back().ended) loads_.push_back({});
      loads_.back().url = view->url().toString().toStdString();
      loads_.back().ended = true;
      if (ok) loads_.back().finishedMs = clock.elapsed();
    });
  }
  std::vector<Load>& loads() { return loads_; }

 private:
  QWebEngineView* view_ = nullptr;
  std::vector<Load> loads_;
};

QWebEngineView* engineView(ZelvoApplication& zelvo) {
  QWidget* area = zelvo.browser().widget();
  return area ? area->findChild<QWebEngineView*>() : nullptr;
}

long percentile(std::vector<long> values, double share) {
  if (values.empty()) return -1;
  std::sort(values.begin(), values.end());
  return values[std::min(values.size() - 1, static_cast<size_t>(share * values.size()))];
}

// Splits each gap between two page loads at the last arming of Timer9 inside it: before it the
// anchors are read and the page scanned, after it the step waits its 100 ms and loads the next.
void printLoads(const std::vector<Load>& loads, const std::vector<long>& arms) {
  std::vector<long> loading, between, scanning, stepping;
  for (size_t i = 0; i < loads.size(); ++i) {
    if (loads[i].finishedMs < 0 || loads[i].startedMs < 0) continue;
    loading.push_back(loads[i].finishedMs - loads[i].startedMs);
    if (i + 1 == loads.size() || loads[i + 1].startedMs < 0) continue;
    const long next = loads[i + 1].startedMs;
    between.push_back(next - loads[i].finishedMs);
    long lastArm = -1;
    for (long arm : arms) {
      if (arm >= loads[i].finishedMs && arm <= next) lastArm = arm;
    }
    if (lastArm < 0) continue;
    scanning.push_back(lastArm - loads[i].finishedMs);
    stepping.push_back(next - lastArm);
  }
  auto show = [](const char* what, const std::vector<long>& values) {
    std::printf("  %s: median %ld ms, 90%% %ld ms, max %ld ms\n", what, percentile(values, 0.5),
                percentile(values, 0.9), percentile(values, 1.0));
  };
  show("a page's load in the engine (load started to load finished)", loading);
  show("a load's end to the next load's start", between);
  show("  of which the load's end to the last arming of Timer9 (anchors, scan)", scanning);
  show("  of which the last arming of Timer9 to the next load's start (timer, step)", stepping);
}

}  // namespace
}  // namespace zelvo::bench

int main(int argc, char** argv) {
  using namespace zelvo;
  using namespace zelvo::bench;
  const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 1;
  test::prepareTestEnvironment();
  prepareWindowProcess();
  QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
  QApplication app(argc, argv);
  test::TempFolder site;
  writeSite(site);
  test::LoopbackHttpServer server(site.path());
  test::TempFolder folder;

  ComponentOptions options = test::quietComponents();
  options.searchHome = server.url("");
  ZelvoApplication zelvo(folder.path(), options);
  zelvo.start();
  FormControls& c = zelvo.window().controls();
  c.Check2.userToggled(false);  // automatic mode

  QElapsedTimer clock;
  clock.start();
  LoadWatch watch;
  std::printf("a loopback site of %d pages with %d links each; the search home %s\n", kPages,
              kLinksPerPage, options.searchHome.c_str());
  for (int run = 1; run <= runs; ++run) {
    // "网上搜索": its message box is closed as it comes; the home page loads (the loopback home
    // answers 404, which moves the search on like a loaded home page) and finds the queue empty.
    QTimer::singleShot(0, [&] { c.Command17.userClicked(); });
    const size_t loadsBefore = watch.loads().size();
    const bool homeDone = runUntil(
        [&] {
          watch.attach(engineView(zelvo), clock);
          return watch.loads().size() > loadsBefore && watch.loads().back().ended &&
                 !c.Timer9.enabled();
        },
        60000, [](const QString&) {});
    if (!homeDone) std::printf("run %d: the home page never finished loading\n", run);
    runUntil([] { return false; }, 300);

    // The user's query brings up the first result page.
    const size_t first = watch.loads().size();
    const long startMs = clock.elapsed();
    zelvo.browser().navigate(server.url(pageName(0)));
    auto visited = [&] {
      int pages = 0;
      for (size_t i = first; i < watch.loads().size(); ++i)
        pages += watch.loads()[i].finishedMs >= 0;
      return pages;
    };
    // The queue has run dry when it stays empty with no step armed and no page loading.
    bool ranDry = false;
    std::vector<long> arms;
    unsigned long restarts = c.Timer9.restarts();
    runUntil(
        [&] {
          if (c.Timer9.restarts() != restarts) {
            restarts = c.Timer9.restarts();
            if (c.Timer9.enabled()) arms.push_back(clock.elapsed());
          }
          if (watch.loads().empty()) return false;
          const Load& last = watch.loads().back();
          ranDry = visited() > 0 && c.tvmx.count() == 0 && !c.Timer9.enabled() && last.ended &&
                   clock.elapsed() - last.finishedMs > 1000;
          return visited() >= kVisitGoal || ranDry;
        },
        kRunLimitMs);
    const long endMs = clock.elapsed();
    const int pages = visited();
    std::set<std::string> distinct;
    for (size_t i = first; i < watch.loads().size(); ++i) {
      if (watch.loads()[i].finishedMs >= 0) distinct.insert(watch.loads()[i].url);
    }
    const double seconds = (endMs - startMs) / 1000.0;
    std::printf(
        "run %d: %d pages visited (%zu distinct) in %.1f s: %.2f pages per second%s; "
        "queue %d rows, %d stations found\n",
        run, pages, distinct.size(), seconds, pages / seconds, ranDry ? " (the queue ran dry)" : "",
        c.tvmx.count(), c.tvm.count());
    std::vector<Load> loads(watch.loads().begin() + static_cast<long>(first), watch.loads().end());
    printLoads(loads, arms);
    std::fflush(stdout);
    c.Command9.userClicked();
    runUntil([] { return false; }, 300);
  }
  return 0;
}
