#include "support/CpuLoad.h"

#include <algorithm>

namespace zelvo::test {

CpuLoad::CpuLoad() {
  const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
  for (unsigned i = 0; i < cores; ++i)
    spinners_.emplace_back([this] {
      while (!stop_.load(std::memory_order_relaxed)) {
      }
    });
}

CpuLoad::~CpuLoad() {
  stop_ = true;
  for (auto& spinner : spinners_) spinner.join();
}

}  // namespace zelvo::test
