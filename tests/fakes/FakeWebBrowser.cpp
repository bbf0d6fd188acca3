#include "fakes/FakeWebBrowser.h"

#include "platform/Failure.h"

namespace zelvo::test {

void FakeWebBrowser::navigate(const std::string& address) {
  log_.add("browser.navigate " + address);
  failures_.check("browser.navigate");
  load(address);
}

void FakeWebBrowser::stop() {
  log_.add("browser.stop");
  failures_.check("browser.stop");
  ++load_;
}

std::vector<std::string> FakeWebBrowser::anchors() const {
  if (!completedOnce_) fail("no document");
  return anchors_;
}

void FakeWebBrowser::servePage(const std::string& address, std::vector<std::string> anchors) {
  sites_[address] = {Kind::Page, std::move(anchors)};
}

void FakeWebBrowser::failPage(const std::string& address, int status) {
  sites_[address] = {Kind::Error, {}, status};
}

void FakeWebBrowser::offerDownload(const std::string& address) {
  sites_[address] = {Kind::Download, {}};
}

void FakeWebBrowser::userOpens(const std::string& address) { load(address); }

void FakeWebBrowser::load(const std::string& address) {
  const unsigned thisLoad = ++load_;
  location_ = address;
  auto site = sites_.find(address);
  if (site == sites_.end()) return;
  const Site page = site->second;
  loop_.postAfter(loadMs, [this, thisLoad, address, page] {
    if (thisLoad != load_) return;
    switch (page.kind) {
      case Kind::Page:
        anchors_ = page.anchors;
        completedOnce_ = true;
        downloadComplete.raise();
        if (thisLoad == load_) documentComplete.raise(address);
        break;
      case Kind::Error:
        navigateError.raise(address, page.status);
        break;
      case Kind::Download: {
        bool cancel = false;
        fileDownload.raise(cancel);
        downloadAnswers.push_back(cancel);
        if (thisLoad == load_) downloadComplete.raise();
        break;
      }
    }
  });
}

}  // namespace zelvo::test
