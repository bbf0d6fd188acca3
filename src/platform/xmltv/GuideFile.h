// Reads one guide file, plain or gzip (known by its first bytes, whatever its name), into a
// parser in pieces, never holding more than a piece in memory and never past the size bound.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>

#include "platform/xmltv/XmltvParser.h"

namespace zelvo {

struct GuideFileOutcome {
  bool gaveGuide = false;
  int skipped = 0;
  std::string problem;  // empty when the whole guide was read
};

// Stops early, with what was read so far parsed, when stop becomes true.
GuideFileOutcome readGuideFile(const std::string& path, XmltvParser& parser, int64_t maxBytes,
                               const std::atomic<bool>& stop);

}  // namespace zelvo
