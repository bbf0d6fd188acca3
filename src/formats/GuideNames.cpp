#include "formats/Guide.h"

#include "formats/TextCase.h"

namespace zelvo {

std::string normalizeGuideName(std::string_view name) {
  std::string out;
  out.reserve(name.size());
  bool blank = false;
  for (const char c : name) {
    if (c == ' ' || c == '\t' || c == '\r' || c == '\n') {
      blank = !out.empty();
      continue;
    }
    if (blank) out += ' ';
    blank = false;
    out += c;
  }
  return toLowerAscii(out);
}

}  // namespace zelvo
