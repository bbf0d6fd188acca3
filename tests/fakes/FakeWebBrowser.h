// An in-memory browser for behaviour tests: the test arranges which addresses load, fail or
// turn into downloads, and the browser reports each load through the event loop as the real one.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "fakes/CallLog.h"
#include "fakes/FakeEventLoop.h"
#include "fakes/FakePlatform.h"
#include "platform/WebBrowser.h"

namespace zelvo::test {

class FakeWebBrowser : public WebBrowser {
 public:
  FakeWebBrowser(CallLog& log, FailureSwitch& failures, FakeEventLoop& loop)
      : log_(log), failures_(failures), loop_(loop) {}
  void navigate(const std::string& address) override;
  void stop() override;
  std::string locationURL() const override { return location_; }
  std::vector<std::string> anchors() const override;

  // What the web holds. An address that is not arranged never finishes loading.
  void servePage(const std::string& address, std::vector<std::string> anchors);
  void failPage(const std::string& address, int status);
  void offerDownload(const std::string& address);
  // The user opens a page inside the browser, by a link or a form: it loads like any other.
  void userOpens(const std::string& address);

  // How long a load takes on the virtual clock.
  long loadMs = 20;
  // The answers the handler gave to offered downloads; each download was refused anyway.
  std::vector<bool> downloadAnswers;

 private:
  enum class Kind { Page, Error, Download };
  struct Site {
    Kind kind;
    std::vector<std::string> anchors;
    int status = 0;
  };
  void load(const std::string& address);

  CallLog& log_;
  FailureSwitch& failures_;
  FakeEventLoop& loop_;
  std::map<std::string, Site> sites_;
  std::string location_;
  std::vector<std::string> anchors_;
  bool completedOnce_ = false;
  unsigned load_ = 0;  // the load under way; news of an older one is dropped
};

}  // namespace zelvo::test
