// The calls that fakes receive, in order, as text such as "wmp.URL mms://a", so a test can
// state the exact sequence of platform calls.
#pragma once

#include <string>
#include <vector>

namespace zelvo::test {

class CallLog {
 public:
  void add(std::string call) { calls_.push_back(std::move(call)); }
  const std::vector<std::string>& calls() const { return calls_; }
  void clear() { calls_.clear(); }
  // The recorded calls that start with prefix, in order.
  std::vector<std::string> startingWith(const std::string& prefix) const;

 private:
  std::vector<std::string> calls_;
};

}  // namespace zelvo::test
