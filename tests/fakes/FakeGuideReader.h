// A guide reader that reads nothing: it records the requests, and the test answers the last
// one with the report it chooses, through the event loop or at once.
#pragma once

#include <vector>

#include "fakes/FakeEventLoop.h"
#include "platform/GuideReader.h"

namespace zelvo::test {

class FakeGuideReader : public GuideReader {
 public:
  void read(const GuideRequest& request) override { requests.push_back(request); }
  void cancel() override { ++cancels; }
  void fetchLogo(const std::string& address) override { logos.push_back(address); }

  // Raises finished with the report, as the real reader does after read() has returned.
  void finish(const GuideReport& report) { finished.raise(report); }

  std::vector<GuideRequest> requests;
  std::vector<std::string> logos;
  int cancels = 0;
};

}  // namespace zelvo::test
