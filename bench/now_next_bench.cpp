// The now/next lookup on a channel's week of programmes, at moments spread over the week.
#include <benchmark/benchmark.h>

#include "guide/NowNext.h"

namespace zelvo {
namespace {

void BM_NowNextOnAWeek(benchmark::State& state) {
  std::vector<Programme> week;
  const int64_t start = 1796774400;
  for (int64_t at = start; at < start + 7 * 86400; at += 1800) {
    week.push_back({at, at + 1800, "title", ""});
  }
  int64_t moment = start;
  for (auto _ : state) {
    benchmark::DoNotOptimize(nowAndNext(week, moment));
    moment = start + (moment - start + 7919) % (7 * 86400);
  }
}
BENCHMARK(BM_NowNextOnAWeek);

}  // namespace
}  // namespace zelvo
