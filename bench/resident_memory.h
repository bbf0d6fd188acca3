// What the process holds in memory: its resident size, and how many pages of the pinyin
// initials' table are in it (pagemap's "present" bit), none until the first search.
#pragma once

#include <fcntl.h>
#include <unistd.h>

#include <cstdint>
#include <fstream>
#include <string>

#include "formats/PinyinInitials.h"

namespace zelvo::bench {

inline long residentKib() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("VmRSS:", 0) == 0) return std::stol(line.substr(6));
  }
  return -1;
}

// The table's pages in memory; pages is set to all of its pages.
inline long residentTablePages(long& pages) {
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

}  // namespace zelvo::bench
