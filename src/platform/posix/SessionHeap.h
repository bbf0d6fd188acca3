// The allocator's set-up for a long window session, decided here alone.
#pragma once

namespace zelvo {

// Keeps every thread's allocations in one heap, and buffers of 256 kB and more out of it, unless
// the user chose otherwise (MALLOC_ARENA_MAX, MALLOC_MMAP_THRESHOLD_ or their GLIBC_TUNABLES).
// Each station switch starts a new set of engine threads; with the allocator's default of one
// heap per thread (up to eight per core) what each switch freed stayed behind, spread over many
// heaps. Every stream also brings buffers of its own size, which left to itself the allocator
// soon takes from the heap and leaves full of holes that later streams cannot reuse.
// Measured over 1,000 switches under Xvfb (zelvo_zap_soak), see the README. Call before any
// thread starts: the allocator fixes its number of heaps when a second thread first needs one.
void prepareSessionHeap();

}  // namespace zelvo
