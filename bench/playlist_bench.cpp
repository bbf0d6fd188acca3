// Importing a playlist of 10,000 entries into a library at the station list's limit of 32,767
// lines, as --import does it: the file read and decoded, its entries read, the library merged.
#include <benchmark/benchmark.h>

#include <fstream>

#include "fakes/WindowHarness.h"
#include "formats/PlaylistReader.h"
#include "formats/PlaylistWriter.h"
#include "library/LibraryMerge.h"
#include "platform/posix/PlaylistText.h"

namespace zelvo::test {
namespace {

std::vector<std::string> fullLibrary() {
  std::vector<std::string> lines;
  for (int i = 0; i < kMaxListRows; ++i) {
    lines.push_back("电视台 " + std::to_string(i) + ",http://example.test/live/" +
                    std::to_string(i) + ".m3u8," + std::to_string(-i) + ",假,假");
  }
  lines.push_back("end");
  return lines;
}

// A tenth of the entries are in the library already. With headers, each entry has a user
// agent and a referrer, as #EXTVLCOPT lines and attributes.
std::string playlistOf(int entries, bool withHeaders = false) {
  const std::string headers =
      withHeaders
          ? "|User-Agent=Mozilla%2F5.0%20(X11%3B%20Linux%20x86_64)&Referer=https%3A%2F%2Fsite%2F"
          : "";
  std::vector<PlaylistEntry> stations;
  for (int i = 0; i < entries; ++i) {
    const bool known = i % 10 == 0;
    stations.push_back({"电视台 " + std::to_string(i),
                        "http://example.test/" + std::string(known ? "live/" : "new/") +
                            std::to_string(i) + ".m3u8" + headers,
                        "分组"});
  }
  return writeExtendedM3u(stations);
}

void Import10000Into32767(benchmark::State& state) {
  WindowHarness h;
  const std::vector<std::string> library = fullLibrary();
  std::ofstream(h.path("list.m3u"), std::ios::binary) << playlistOf(10000);
  MergeReport report;
  for (auto _ : state) {
    state.PauseTiming();
    h.writeFile("tv_lib.txt", library);
    state.ResumeTiming();
    const Playlist playlist = readPlaylist(readPlaylistText(h.path("list.m3u")), h.folder.path());
    report = mergeIntoLibrary(h.files, h.path("tv_lib.txt"), playlist.entries);
  }
  if (report.added != 9000 || report.alreadyThere != 1000)
    state.SkipWithError("the merge did not add what it should");
}
BENCHMARK(Import10000Into32767)->Unit(benchmark::kMillisecond);

// Argument 1: every entry with request headers.
void ReadPlaylist100000(benchmark::State& state) {
  const std::string text = playlistOf(100000, state.range(0) != 0);
  for (auto _ : state) benchmark::DoNotOptimize(readPlaylist(text, "/lists"));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}
BENCHMARK(ReadPlaylist100000)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace zelvo::test
