#include "platform/posix/SessionHeap.h"

#include <malloc.h>

#include <cstdlib>

namespace zelvo {

void useOneHeapForTheSession() {
  // A user who chose the number of heaps keeps that choice.
  if (std::getenv("MALLOC_ARENA_MAX") || std::getenv("GLIBC_TUNABLES")) return;
  mallopt(M_ARENA_MAX, 1);
}

}  // namespace zelvo
