// The main window's start-up on the fakes and real files: with an empty application folder, and
// with a temp folder of 1,000 playlists, so that what the temp folder adds can be read off.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>

#include "fakes/WindowHarness.h"

namespace zelvo::test {
namespace {

void fillTempFolder(const WindowHarness& h, int playlists) {
  std::filesystem::create_directories(h.path("temp"));
  for (int i = 0; i < playlists; ++i) {
    std::ofstream(h.path("temp/频道" + std::to_string(i) + (i % 2 ? ".asx" : ".HTM")))
        << "<asx version=\"3.0\"><entry><ref href=\"http://example.test/" << i
        << ".wmv\"/></entry></asx>";
  }
}

void StartUp(benchmark::State& state) {
  const int playlists = static_cast<int>(state.range(0));
  for (auto _ : state) {
    state.PauseTiming();
    {
      WindowHarness h;
      h.writeFile("tv_lib.txt", {"A,mms://a/1,-999,假,假", "end"});
      fillTempFolder(h, playlists);
      state.ResumeTiming();
      h.window->StartUp();
      state.PauseTiming();
      if (h.c.tvm.count() != playlists + 1) state.SkipWithError("a playlist is missing");
    }
    state.ResumeTiming();
  }
}
BENCHMARK(StartUp)->Arg(0)->Arg(1000)->Iterations(20)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace zelvo::test
