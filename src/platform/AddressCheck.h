// A cheap look at whether a station's server answers again: a request for the first bytes of
// its address, with the station's request headers, instead of a whole player start.
#pragma once

#include <string>

#include "platform/Event.h"

namespace zelvo {

// answered is raised at most once for every start(), on the thread that called start(), after
// start() has returned, and only when the server replied with a success; a refusal, an error
// or no reply within a few seconds raises nothing. A start() abandons the look in progress.
class AddressCheck {
 public:
  virtual ~AddressCheck() = default;
  virtual void start(const std::string& address) = 0;
  // Abandons the look in progress, if any: nothing more is raised for it.
  virtual void cancel() = 0;
  virtual bool running() const = 0;

  Event<> answered;
};

}  // namespace zelvo
