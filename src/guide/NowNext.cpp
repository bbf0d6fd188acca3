#include "guide/NowNext.h"

#include <algorithm>

namespace zelvo {

namespace {

Programme shifted(Programme programme, int64_t shift) {
  programme.start += shift;
  programme.stop += shift;
  return programme;
}

}  // namespace

NowNext nowAndNext(const std::vector<Programme>& programmes, int64_t at, int64_t shift) {
  // Shifting the moment back is shifting every programme forward.
  const int64_t guideAt = at - shift;
  const auto later = std::upper_bound(
      programmes.begin(), programmes.end(), guideAt,
      [](int64_t moment, const Programme& programme) { return moment < programme.start; });
  NowNext found;
  if (later != programmes.begin() && std::prev(later)->stop > guideAt)
    found.now = shifted(*std::prev(later), shift);
  if (later != programmes.end()) found.next = shifted(*later, shift);
  return found;
}

std::vector<Programme> shiftedProgrammes(std::vector<Programme> programmes, int64_t shift) {
  if (shift != 0)
    for (Programme& programme : programmes) programme = shifted(std::move(programme), shift);
  return programmes;
}

}  // namespace zelvo
