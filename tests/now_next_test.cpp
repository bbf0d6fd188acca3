// Now and next at the boundaries: a programme's start and stop, gaps, before, after, empty.
#include <gtest/gtest.h>

#include "guide/NowNext.h"
#include "guide/NowNextText.h"

namespace zelvo::test {
namespace {

TEST(NowNext, BoundariesGapsAndAnEmptyGuide) {
  // 100-200 A, 200-300 B, gap, 400-500 C.
  const std::vector<Programme> programmes = {
      {100, 200, "A", ""}, {200, 300, "B", ""}, {400, 500, "C", ""}};
  struct Case {
    int64_t at;
    const char* now;  // "" for none
    const char* next;
  };
  const Case cases[] = {
      {0, "", "A"},    {99, "", "A"},   {100, "A", "B"}, {199, "A", "B"},
      {200, "B", "C"}, {299, "B", "C"}, {300, "", "C"},  {350, "", "C"},
      {400, "C", ""},  {499, "C", ""},  {500, "", ""},   {9999, "", ""},
  };
  auto title = [](const Programme* p) { return std::string(p ? p->title : ""); };
  for (const Case& c : cases) {
    const NowNext found = nowAndNext(programmes, c.at);
    EXPECT_EQ(title(found.now), c.now) << c.at;
    EXPECT_EQ(title(found.next), c.next) << c.at;
  }
  const NowNext none = nowAndNext({}, 150);
  EXPECT_EQ(none.now, nullptr);
  EXPECT_EQ(none.next, nullptr);
  EXPECT_EQ(describeNowNext(none, "\n"), "");
}

}  // namespace
}  // namespace zelvo::test
