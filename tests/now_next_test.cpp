// Now and next at the boundaries: a programme's start and stop, gaps, before, after, empty, and
// as a station that shifts the guide's times sees them.
#include <gtest/gtest.h>

#include <algorithm>

#include "guide/NowNext.h"
#include "guide/NowNextText.h"

namespace zelvo::test {
namespace {

TEST(NowNext, BoundariesGapsShiftsAndAnEmptyGuide) {
  // 100-200 A, 200-300 B, gap, 400-500 C.
  const std::vector<Programme> programmes = {
      {100, 200, "A", ""}, {200, 300, "B", ""}, {400, 500, "C", ""}};
  struct Case {
    int64_t at;
    const char* now;  // "" for none
    const char* next;
    int64_t shift = 0;  // added to the guide's times
  };
  const Case cases[] = {
      {0, "", "A"},
      {99, "", "A"},
      {100, "A", "B"},
      {199, "A", "B"},
      {200, "B", "C"},
      {299, "B", "C"},
      {300, "", "C"},
      {350, "", "C"},
      {400, "C", ""},
      {499, "C", ""},
      {500, "", ""},
      {9999, "", ""},
      // A station 3.5 hours behind the guide, one 1000 s ahead of it.
      {100 - 12600, "A", "B", -12600},
      {99 - 12600, "", "A", -12600},
      {499 - 12600, "C", "", -12600},
      {100, "", "A", 1000},
      {1199, "A", "B", 1000},
      {1350, "", "C", 1000},
      {1500, "", "", 1000},
  };
  auto title = [](const std::optional<Programme>& p) { return p ? p->title : ""; };
  for (const Case& c : cases) {
    const NowNext found = nowAndNext(programmes, c.at, c.shift);
    EXPECT_EQ(title(found.now), c.now) << c.at << " shifted " << c.shift;
    EXPECT_EQ(title(found.next), c.next) << c.at << " shifted " << c.shift;
    // What is found is told at the station's own times.
    for (const std::optional<Programme>& p : {found.now, found.next}) {
      if (!p) continue;
      const auto in = std::find_if(programmes.begin(), programmes.end(),
                                   [&](const Programme& q) { return q.title == p->title; });
      EXPECT_EQ(p->start, in->start + c.shift);
      EXPECT_EQ(p->stop, in->stop + c.shift);
    }
  }
  const NowNext none = nowAndNext({}, 150);
  EXPECT_FALSE(none.now);
  EXPECT_FALSE(none.next);
  EXPECT_EQ(describeNowNext(none, "\n"), "");
}

}  // namespace
}  // namespace zelvo::test
