// The pinyin initials of a Chinese character, from the table generated at build time out of
// go-pinyin's dictionary (which covers every character of GB2312 and many more).
#pragma once

#include <cstddef>
#include <cstdint>

namespace zelvo {

// The first letters of every reading of the character, one bit each: bit 0 for 'a' up to bit 25
// for 'z' (zh, ch and sh count as z, c and s). 0 for a character the table does not hold.
std::uint32_t pinyinInitials(char32_t codePoint);

// Where the table lies in the program's read-only data, for measuring when it becomes resident.
struct PinyinTableExtent {
  const void* data;
  std::size_t bytes;
};
PinyinTableExtent pinyinTableExtent();

}  // namespace zelvo
