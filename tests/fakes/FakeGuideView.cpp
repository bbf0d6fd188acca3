#include "fakes/FakeGuideView.h"

namespace zelvo::test {

int FakeGuideView::rowTitled(const std::string& text) const {
  for (size_t i = 0; i < rows.size(); ++i)
    if (rows[i].title == text) return static_cast<int>(i);
  return -1;
}

std::vector<std::string> FakeGuideView::lines() const {
  std::vector<std::string> out;
  for (const GuideRow& row : rows)
    out.push_back(std::string(row.running ? "*" : "") + (row.playable ? "+" : "") + row.time + " " +
                  row.title);
  return out;
}

}  // namespace zelvo::test
