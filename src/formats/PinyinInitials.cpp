// The lookup in the generated table: a binary search over the sorted entries, which touches only
// the few pages of the table it reads.
#include "formats/PinyinInitials.h"

#include <algorithm>

#include "formats/PinyinTable.h"

namespace zelvo {

using namespace pinyin_table;

std::uint32_t pinyinInitials(char32_t codePoint) {
  if (codePoint > 0x10FFFF) return 0;
  const std::uint32_t key = static_cast<std::uint32_t>(codePoint) << kMaskIndexBits;
  const std::uint32_t* end = kTable + kEntryCount;
  const std::uint32_t* found = std::lower_bound(kTable, end, key);
  if (found == end || (*found >> kMaskIndexBits) != codePoint) return 0;
  const std::uint32_t index = *found & ((1u << kMaskIndexBits) - 1);
  return index < kMaskCount ? kTable[kEntryCount + index] : 0;
}

PinyinTableExtent pinyinTableExtent() { return {kTable, kTableWords * sizeof(std::uint32_t)}; }

}  // namespace zelvo
