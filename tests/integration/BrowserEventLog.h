// Records what a browser raises, in order, as texts a test compares whole, and runs the event
// loop until a load has ended and a little longer, so that an event that should not come shows.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/WebBrowser.h"
#include "support/IntegrationMain.h"

namespace zelvo::test {

class BrowserEventLog {
 public:
  explicit BrowserEventLog(WebBrowser& browser) : browser_(browser) {
    browser.documentComplete.connect(
        [this](const std::string& url) { events_.push_back("documentComplete " + url); });
    browser.downloadComplete.connect([this] { events_.push_back("downloadComplete"); });
    browser.navigateError.connect([this](const std::string& url, int status) {
      events_.push_back("navigateError " + url + " " + std::to_string(status));
    });
    browser.fileDownload.connect([this](bool& cancel) {
      events_.push_back("fileDownload");
      cancel = cancelAnswer;
    });
  }

  // What the fileDownload handler answers.
  bool cancelAnswer = true;

  // Runs action (a navigate() or stop()), then the event loop until count events came or
  // timeoutMs passed, then quietMs more. Returns the events in order.
  std::vector<std::string> after(const std::function<void()>& action, size_t count,
                                 int timeoutMs = 20000, int quietMs = 500) {
    events_.clear();
    action();
    EXPECT_TRUE(events_.empty()) << "an event was raised inside the call: " << events_.front();
    waitUntil([&] { return events_.size() >= count; }, timeoutMs);
    processEventsFor(quietMs);
    return events_;
  }

  // Loads the page and returns its anchors once it completed.
  std::vector<std::string> anchorsOf(const std::string& url) {
    const std::vector<std::string> completed = {"downloadComplete", "documentComplete " + url};
    EXPECT_EQ(after([&] { browser_.navigate(url); }, 2, 30000, 100), completed);
    return browser_.anchors();
  }

  const std::vector<std::string>& events() const { return events_; }
  void clear() { events_.clear(); }

 private:
  WebBrowser& browser_;
  std::vector<std::string> events_;
};

}  // namespace zelvo::test
