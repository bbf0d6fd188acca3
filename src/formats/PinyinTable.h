// The generated table of pinyin initials, as tools/pinyin writes it: the distinct sets of
// initials, and one sorted entry per character, its code point above the index of its set.
#pragma once

#include <cstdint>

namespace zelvo::pinyin_table {

inline constexpr unsigned kMaskIndexBits = 10;

extern const std::uint32_t kMaskCount;
extern const std::uint32_t kMasks[];
extern const std::uint32_t kEntryCount;
extern const std::uint32_t kEntries[];

}  // namespace zelvo::pinyin_table
