// The programme guide window "节目单": one station's programmes of one day, a day chooser and the
// channel's logo, in a window of its own beside the main window.
#pragma once

#include <string>
#include <vector>

#include "platform/Event.h"

namespace zelvo {

struct GuideRow {
  std::string time;  // "08:00 - 09:30", local time
  std::string title;
  bool running = false;   // on air now: highlighted
  bool playable = false;  // a double-click plays it
  bool operator==(const GuideRow&) const = default;
};

class GuideView {
 public:
  virtual ~GuideView() = default;
  virtual void setTitle(const std::string& title) = 0;
  // The day chooser's entries and the chosen one (-1: none).
  virtual void setDays(const std::vector<std::string>& days, int chosen) = 0;
  // The rows of the chosen day; the view brings the running row into sight.
  virtual void setRows(const std::vector<GuideRow>& rows) = 0;
  // A local image file; empty shows no logo.
  virtual void setLogo(const std::string& path) = 0;
  // A line under the list: why nothing is listed, what a double-click did or could not do.
  virtual void setStatus(const std::string& text) = 0;
  // Shows the window and brings it to the front; hide() takes it off the screen.
  virtual void show() = 0;
  virtual void hide() = 0;
  virtual bool visible() const = 0;

  Event<int> dayChosen;     // the index of the day the user picked
  Event<int> rowActivated;  // the row the user double-clicked
  Event<> closed;           // the user closed the window; it is hidden already
};

}  // namespace zelvo
