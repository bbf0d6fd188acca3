// Keeps every core of the machine busy while it lives, so a test sees the program as it runs
// beside a heavy build or a busy desktop.
#pragma once

#include <atomic>
#include <thread>
#include <vector>

namespace zelvo::test {

class CpuLoad {
 public:
  CpuLoad();
  ~CpuLoad();
  CpuLoad(const CpuLoad&) = delete;
  CpuLoad& operator=(const CpuLoad&) = delete;

 private:
  std::atomic<bool> stop_{false};
  std::vector<std::thread> spinners_;
};

}  // namespace zelvo::test
