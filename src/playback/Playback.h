// Starting and stopping: handing an address to the primary player, the fallback player or the
// browser, and stopping everything that plays or loads.
#pragma once

#include <string>

#include "form/Services.h"
#include "platform/Event.h"

namespace zelvo {

class Playback {
 public:
  explicit Playback(Context context) : x_(context) {}

  // Starts the address in the primary player, or shows it in the browser when it names a page.
  void PlayAddress(const std::string& address);
  // Starts the address in the fallback player; lets pending events run once at the end.
  void PlayWithRealPlayer(const std::string& address);
  // Stops both players, the browser and the timers. Not continue-on-error: the first failing
  // step abandons the rest and the failure reaches the caller.
  void StopAll();

  // Raised first by PlayAddress and StopAll, the starts and stops that users cause: the address
  // about to play, or "" for a stop. (The fallback player starts only on the window's own
  // hand-off.)
  Event<std::string> starting;

 private:
  Context x_;
};

// Addresses that name a web page go to the browser: ".htm" anywhere in the URL before any "|",
// in any letter case.
bool isWebPageAddress(const std::string& address);

}  // namespace zelvo
