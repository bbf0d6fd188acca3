#include "guide/NowNext.h"

#include <algorithm>

namespace zelvo {

NowNext nowAndNext(const std::vector<Programme>& programmes, int64_t at) {
  const auto later = std::upper_bound(
      programmes.begin(), programmes.end(), at,
      [](int64_t moment, const Programme& programme) { return moment < programme.start; });
  NowNext found;
  if (later != programmes.begin() && std::prev(later)->stop > at) found.now = &*std::prev(later);
  if (later != programmes.end()) found.next = &*later;
  return found;
}

}  // namespace zelvo
