// The web-browser contract: loading pages asynchronously, reporting how each load ended, and
// giving the links of the loaded page. Its host control (visible, height) is a control model.
#pragma once

#include <string>
#include <vector>

#include "platform/Event.h"

namespace zelvo {

// How events are delivered. Every event is raised on the UI thread after the call that caused
// it has returned, never from inside navigate() or stop(). Events come for every page the
// browser loads at the top level, whoever started it: navigate(), or the user inside the page.
// A load ends with downloadComplete and then documentComplete, or with navigateError alone (the
// server cannot be reached, or answers with an HTTP error status, or the address cannot be
// loaded at all). A load that turns into a download raises fileDownload, is refused whatever
// the handler answers, and ends with downloadComplete. stop() abandons the current load: no
// event of it is raised afterwards.
// Further cases: an address that names no page the browser shows (empty, "javascript:",
// "mms:", "mailto:") ends with navigateError(address, 0); a page that moves on by itself
// before it finished loading reports only as the page it moved to; a load halted inside the
// browser rather than by stop() ends with downloadComplete alone.
class WebBrowser {
 public:
  virtual ~WebBrowser() = default;
  // Returns at once; the page loads in the background.
  virtual void navigate(const std::string& address) = 0;
  // Abandons the current load.
  virtual void stop() = 0;
  // The current location; empty when there is none.
  virtual std::string locationURL() const = 0;
  // The anchors of the page that completed last, in document order: each the absolute address
  // the browser resolved, an empty text for an anchor without a target. They are read once,
  // before documentComplete is raised, and stay as they are until the next documentComplete.
  // Fails when no page has completed yet.
  virtual std::vector<std::string> anchors() const = 0;

  Event<std::string> documentComplete;    // URL of the page
  Event<> downloadComplete;               // a load ended, whatever it brought
  Event<std::string, int> navigateError;  // URL, HTTP status or 0 when there was no answer
  Event<bool&> fileDownload;              // Cancel: the download is refused in any case
};

}  // namespace zelvo
