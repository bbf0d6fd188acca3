// What the table of pinyin initials costs in memory: its pages resident before and after the
// first search, and the process's resident memory around that search over 32,767 names.
#include <fcntl.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>

#include "formats/PinyinInitials.h"
#include "library/StationSearch.h"
#include "station_names.h"

namespace {

long residentKib() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("VmRSS:", 0) == 0) return std::stol(line.substr(6));
  }
  return -1;
}

// How many of the table's pages the process has mapped in (pagemap's "present" bit).
long residentTablePages(long& pages) {
  const zelvo::PinyinTableExtent table = zelvo::pinyinTableExtent();
  const long pageSize = sysconf(_SC_PAGESIZE);
  const auto first = reinterpret_cast<std::uintptr_t>(table.data) / pageSize;
  const auto last = (reinterpret_cast<std::uintptr_t>(table.data) + table.bytes - 1) / pageSize;
  pages = static_cast<long>(last - first + 1);
  const int fd = open("/proc/self/pagemap", O_RDONLY);
  if (fd < 0) return -1;
  long present = 0;
  for (auto page = first; page <= last; ++page) {
    std::uint64_t entry = 0;
    if (pread(fd, &entry, sizeof entry, static_cast<off_t>(page * sizeof entry)) != sizeof entry) {
      present = -1;
      break;
    }
    if (entry >> 63) ++present;
  }
  close(fd);
  return present;
}

}  // namespace

int main() {
  const std::vector<std::string> names = zelvo::bench::manyStationNames();
  long pages = 0;
  const long pagesBefore = residentTablePages(pages);
  const long before = residentKib();
  const uint32_t first = zelvo::pinyinInitials(U'浙');
  const long pagesAfterOne = residentTablePages(pages);
  const long afterOne = residentKib();
  zelvo::StationSearch search;
  search.setNames(zelvo::bench::viewsOf(names));
  const long pagesAfter = residentTablePages(pages);
  const long after = residentKib();
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
