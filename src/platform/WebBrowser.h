// The web-browser contract: loading pages asynchronously. Its host control (visible, height)
// is a control model of the window.
#pragma once

#include <string>

namespace zelvo {

class WebBrowser {
 public:
  virtual ~WebBrowser() = default;
  // Returns at once; the page loads in the background.
  virtual void navigate(const std::string& address) = 0;
  // Abandons the current load.
  virtual void stop() = 0;
  // The current location; empty when there is none.
  virtual std::string locationURL() const = 0;
};

}  // namespace zelvo
