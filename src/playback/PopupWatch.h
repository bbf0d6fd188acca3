// The pop-up watch on Timer5: closes the application's active pop-up when its title names a
// log-in, update or contact prompt, and shows the active window's title in the status line.
#pragma once

#include <functional>
#include <string>

#include "form/Services.h"

namespace zelvo {

// Whether a window title asks to be closed at once (letter case ignored).
bool isDismissedTitle(const std::string& title);

class PopupWatch {
 public:
  explicit PopupWatch(Context context) : x_(context) {}
  void connect();
  void Tick();

  // A notice that the status line shows instead of the title while it is not empty.
  std::function<std::string()> notice;

 private:
  Context x_;
};

}  // namespace zelvo
