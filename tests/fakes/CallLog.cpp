#include "fakes/CallLog.h"

namespace zelvo::test {

std::vector<std::string> CallLog::startingWith(const std::string& prefix) const {
  std::vector<std::string> found;
  for (const auto& call : calls_) {
    if (call.rfind(prefix, 0) == 0) found.push_back(call);
  }
  return found;
}

}  // namespace zelvo::test
