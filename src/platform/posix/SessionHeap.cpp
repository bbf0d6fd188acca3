#include "platform/posix/SessionHeap.h"

#include <malloc.h>

#include <cstdlib>
#include <string>

namespace zelvo {

namespace {

// True when the user set the allocator's parameter through its variable or its tunable.
bool userChose(const char* variable, const char* tunable) {
  if (const char* value = std::getenv(variable); value && *value) return true;
  const char* tunables = std::getenv("GLIBC_TUNABLES");
  return tunables && std::string(tunables).find(std::string(tunable) + "=") != std::string::npos;
}

}  // namespace

void prepareSessionHeap() {
  if (!userChose("MALLOC_ARENA_MAX", "glibc.malloc.arena_max")) mallopt(M_ARENA_MAX, 1);
  // A fixed threshold also keeps the allocator from raising it after the first large free.
  if (!userChose("MALLOC_MMAP_THRESHOLD_", "glibc.malloc.mmap_threshold"))
    mallopt(M_MMAP_THRESHOLD, 256 * 1024);
}

}  // namespace zelvo
