// The browser module: the web browser on QtWebEngine, loaded with the first web page.
#include "platform/ModuleEntries.h"
#include "platform/webengine/WebEngineBrowser.h"

ZELVO_MODULE_ENTRY zelvo::ModulePart<zelvo::WebBrowser>* zelvoMakeBrowser(
    const std::string& remoteContentFolder) {
  using Part = zelvo::ComponentPart<zelvo::WebBrowser, zelvo::WebEngineBrowser>;
  Part* part = zelvo::makePart<Part>();
  if (part) part->component().allowRemoteContentForPagesIn(remoteContentFolder);
  return part;
}
