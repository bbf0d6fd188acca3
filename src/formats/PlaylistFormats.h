// The readers of the single playlist formats, each handing its entries to a collector, and
// the walk over a text's lines that the line-based formats share.
#pragma once

#include <string_view>

#include "formats/PlaylistEntries.h"

namespace zelvo {

void readM3u(std::string_view text, EntryCollector& entries);
void readPls(std::string_view text, EntryCollector& entries);
void readAsx(std::string_view text, EntryCollector& entries);

// Calls visit(line, number) for each line, numbered from 1, without its line end (CR LF, LF
// or CR).
template <class Visit>
void forEachLine(std::string_view text, Visit&& visit) {
  int number = 0;
  size_t start = 0;
  while (start < text.size()) {
    const size_t end = text.find_first_of("\r\n", start);
    const size_t stop = end == std::string_view::npos ? text.size() : end;
    visit(text.substr(start, stop - start), ++number);
    if (end == std::string_view::npos) break;
    start = end + (text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n' ? 2 : 1);
  }
}

}  // namespace zelvo
