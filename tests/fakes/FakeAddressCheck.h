// An address check for the behaviour tests: answers on the loop's next turn when the test's
// server is up, and records the addresses it looked at.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "fakes/FakeEventLoop.h"
#include "platform/AddressCheck.h"

namespace zelvo::test {

class FakeAddressCheck final : public AddressCheck {
 public:
  FakeAddressCheck(FakeEventLoop& loop, std::function<bool()> serverUp)
      : loop_(loop), serverUp_(std::move(serverUp)) {}

  void start(const std::string& address) override {
    looked.push_back(address);
    const int look = ++looks_;
    running_ = true;
    loop_.post([this, look] {
      if (look != looks_ || !running_) return;
      running_ = false;
      if (serverUp_()) answered.raise();
    });
  }
  void cancel() override { running_ = false; }
  bool running() const override { return running_; }

  std::vector<std::string> looked;

 private:
  FakeEventLoop& loop_;
  std::function<bool()> serverUp_;
  int looks_ = 0;
  bool running_ = false;
};

}  // namespace zelvo::test
