// The browser module: the web browser on QtWebEngine, loaded with the first web page.
#include "platform/ModuleEntries.h"
#include "platform/webengine/WebEngineBrowser.h"

namespace zelvo {
namespace {

class BrowserPart : public ModulePart<WebBrowser> {
 public:
  explicit BrowserPart(const std::string& remoteContentFolder) {
    browser_.allowRemoteContentForPagesIn(remoteContentFolder);
  }
  WebBrowser& contract() override { return browser_; }
  QWidget* widget() override { return browser_.widget(); }

 private:
  WebEngineBrowser browser_;
};

}  // namespace
}  // namespace zelvo

ZELVO_MODULE_ENTRY zelvo::ModulePart<zelvo::WebBrowser>* zelvoMakeBrowser(
    const std::string& remoteContentFolder) {
  try {
    return new zelvo::BrowserPart(remoteContentFolder);
  } catch (...) {
    return nullptr;
  }
}
