// What the table of pinyin initials costs in memory: its pages resident before and after the
// first search, and the process's resident memory around that search over 32,767 names.
#include <unistd.h>

#include <cstdio>
#include <string>

#include "formats/PinyinInitials.h"
#include "library/StationSearch.h"
#include "resident_memory.h"
#include "station_names.h"

int main() {
  const std::vector<std::string> names = zelvo::bench::manyStationNames();
  long pages = 0;
  const long pagesBefore = zelvo::bench::residentTablePages(pages);
  const long before = zelvo::bench::residentKib();
  const uint32_t first = zelvo::pinyinInitials(U'浙');
  const long pagesAfterOne = zelvo::bench::residentTablePages(pages);
  const long afterOne = zelvo::bench::residentKib();
  zelvo::StationSearch search;
  search.setNames(zelvo::bench::viewsOf(names));
  const long pagesAfter = zelvo::bench::residentTablePages(pages);
  const long after = zelvo::bench::residentKib();
  std::printf("table: %ld pages (%ld KiB)\n", pages, pages * sysconf(_SC_PAGESIZE) / 1024);
  std::printf(
      "table pages resident: %ld before first use, %ld after one lookup (%s), "
      "%ld after preparing %zu names\n",
      pagesBefore, pagesAfterOne, first ? "found" : "missing", pagesAfter, names.size());
  std::printf(
      "resident memory: %ld KiB before, +%ld KiB after one lookup, +%ld KiB after "
      "preparing the names (the prepared names included)\n",
      before, afterOne - before, after - before);
  std::printf("found for 'zjws': %zu\n", search.find("zjws").size());
  return 0;
}
