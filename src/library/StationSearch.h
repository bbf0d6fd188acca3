// Finding stations by what the user types: a name matches when it contains the text, ignoring
// letter case and blanks, or when its pinyin initials start with it ("zjws" finds 浙江卫视, by any
// reading of a character with several; letters and digits stand for themselves, so "cctv5"
// finds "CCTV-5 体育").
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace zelvo {

// True when name (UTF-8) matches text (UTF-8). An empty text, or one of blanks only, matches
// every name; text that no name can hold (control characters) matches none.
bool stationNameMatches(std::string_view name, std::string_view text);

// The same rule over many names, prepared once so that each keystroke is quick.
class StationSearch {
 public:
  void setNames(const std::vector<std::string_view>& names);
  // The indices of the names that match, in their order.
  std::vector<int> find(std::string_view text) const;

 private:
  // Every name as the search compares it, one after another: without blanks, with letter case
  // and width folded; and its row of initials, one set of symbols (bits 0-25 the letters, 26-35
  // the digits) per letter, digit or Chinese character. The ends say where each name's part ends.
  std::string folded_;
  std::vector<std::uint64_t> initials_;
  std::vector<std::size_t> foldedEnds_;
  std::vector<std::size_t> initialsEnds_;
};

}  // namespace zelvo
