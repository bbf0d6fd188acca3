// The station search over 32,767 names: one keystroke (each prefix of "zjws" and of "cctv", the
// way the user types them) and the preparation of the names when the station window opens.
#include <benchmark/benchmark.h>

#include "library/StationSearch.h"
#include "station_names.h"

namespace zelvo::bench {
namespace {

const char* const kTyped[] = {"zjws", "cctv"};

void StationSearchKeystroke(benchmark::State& state) {
  static const StationSearch search = [] {
    StationSearch prepared;
    static const std::vector<std::string> names = manyStationNames();
    prepared.setNames(viewsOf(names));
    return prepared;
  }();
  const std::string text = std::string(kTyped[state.range(0)]).substr(0, state.range(1));
  state.SetLabel(text);
  size_t found = 0;
  for (auto _ : state) {
    const std::vector<int> rows = search.find(text);
    found = rows.size();
    benchmark::DoNotOptimize(rows.data());
  }
  state.counters["found"] = static_cast<double>(found);
}
BENCHMARK(StationSearchKeystroke)
    ->ArgsProduct({{0, 1}, {1, 2, 3, 4}})
    ->Unit(benchmark::kMicrosecond);

void StationSearchSetNames(benchmark::State& state) {
  const std::vector<std::string> names = manyStationNames();
  const std::vector<std::string_view> views = viewsOf(names);
  for (auto _ : state) {
    StationSearch search;
    search.setNames(views);
    benchmark::DoNotOptimize(&search);
  }
}
BENCHMARK(StationSearchSetNames)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace zelvo::bench
