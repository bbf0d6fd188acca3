#include "search/SearchRun.h"

#include "formats/TextCase.h"

namespace zelvo {

void SearchRun::visit(const std::string& page) {
  if (!page.empty()) visited_.insert(toLowerAscii(page));
}

bool SearchRun::visited(const std::string& page) const {
  return visited_.count(toLowerAscii(page)) > 0;
}

}  // namespace zelvo
