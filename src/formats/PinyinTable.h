// The generated table of pinyin initials, as tools/pinyin writes it: one sorted entry per
// character (its code point above the index of its set of initials), then the distinct sets.
#pragma once

#include <cstddef>
#include <cstdint>

namespace zelvo::pinyin_table {

inline constexpr unsigned kMaskIndexBits = 10;
// The table starts on a block boundary and fills whole blocks. The kernel maps a read-only page
// together with its neighbours in the same block when they are cached (fault-around, 64 KiB),
// so this keeps the table out of memory until a lookup reads it, whatever data lies beside it.
inline constexpr std::size_t kBlockBytes = 64 * 1024;

extern const std::uint32_t kEntryCount;
extern const std::uint32_t kMaskCount;
extern const std::uint32_t kTableWords;
extern const std::uint32_t kTable[];

}  // namespace zelvo::pinyin_table
