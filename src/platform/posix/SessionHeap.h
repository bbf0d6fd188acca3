// The allocator's set-up for a long window session, decided here alone.
#pragma once

namespace zelvo {

// Keeps every thread's allocations in one heap, and buffers of 256 kB and more out of it, unless
// the user chose otherwise (MALLOC_ARENA_MAX, MALLOC_MMAP_THRESHOLD_ or their GLIBC_TUNABLES).
// Each station switch starts a new set of engine threads; with the allocator's default of one
// heap per thread (up to eight per core) what each switch freed stayed behind, spread over many
// heaps. Every stream also brings buffers of its own size, which left to itself the allocator
// soon takes from the heap and leaves full of holes that later streams cannot reuse.
// With this set-up, 1,000 switches every 0.3 s under Xvfb (zelvo_zap_soak, on a busy 2-core
// machine) grew the resident memory by 10.7 MB between libVLC's two clips (7.8 MB between the
// lowest readings of the first and the last 100 switches) and by 7.3 MB (3.9 MB) when every
// switch also changed the player. With the default heaps, earlier runs of the libVLC soak grew
// by 16.7 MB.
// Call before any thread starts: the allocator fixes its number of heaps when a thread first
// needs one of its own.
void prepareSessionHeap();

}  // namespace zelvo
