// Loading and storing a library at the station list's limit of 32,767 rows.
#include <benchmark/benchmark.h>

#include <fstream>

#include "fakes/WindowHarness.h"

namespace zelvo::test {
namespace {

std::vector<std::string> bigLibrary() {
  std::vector<std::string> lines;
  for (int i = 0; i < kMaxListRows; ++i) {
    lines.push_back("电视台 " + std::to_string(i) + ",http://example.test/live/" +
                    std::to_string(i) + ".m3u8," + std::to_string(-i) + ",假,假");
  }
  lines.push_back("end");
  return lines;
}

void LoadStationFile32767(benchmark::State& state) {
  WindowHarness h;
  h.writeFile("tv_lib.txt", bigLibrary());
  for (auto _ : state) {
    h.c.tvm.clear();
    h.c.dz1.clear();
    h.window->stationFiles().LoadStationFile("tv_lib.txt");
  }
  if (h.c.tvm.count() != kMaxListRows) state.SkipWithError("not every row was loaded");
}
BENCHMARK(LoadStationFile32767)->Unit(benchmark::kMillisecond);

void StoreCurrentStation32767(benchmark::State& state) {
  WindowHarness h;
  auto lines = bigLibrary();
  for (auto _ : state) {
    state.PauseTiming();
    h.writeFile("tv_lib.txt", lines);
    h.c.tvm.setText("新台");
    h.c.dz1.setText("http://example.test/new.m3u8");
    state.ResumeTiming();
    h.window->stationFiles().StoreCurrentStation();
  }
}
BENCHMARK(StoreCurrentStation32767)->Unit(benchmark::kMillisecond);

// The same library saved as UTF-8 by another editor: every line is read with replacement
// characters and goes back byte for byte.
void StoreIntoUtf8Library32767(benchmark::State& state) {
  WindowHarness h;
  std::string bytes;
  for (const std::string& line : bigLibrary()) bytes += line + "\r\n";
  for (auto _ : state) {
    state.PauseTiming();
    std::ofstream(h.path("tv_lib.txt"), std::ios::binary | std::ios::trunc) << bytes;
    h.c.tvm.setText("新台");
    h.c.dz1.setText("http://example.test/new.m3u8");
    state.ResumeTiming();
    h.window->stationFiles().StoreCurrentStation();
  }
}
BENCHMARK(StoreIntoUtf8Library32767)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace zelvo::test
