// The programme guide window in memory: holds what the behaviour shows and lets a test act as
// the user does (choose a day, double-click a row, close the window).
#pragma once

#include <string>
#include <vector>

#include "platform/GuideView.h"

namespace zelvo::test {

class FakeGuideView : public GuideView {
 public:
  void setTitle(const std::string& text) override { title = text; }
  void setDays(const std::vector<std::string>& entries, int index) override {
    days = entries;
    chosen = index;
  }
  void setRows(const std::vector<GuideRow>& shownRows) override { rows = shownRows; }
  void setLogo(const std::string& path) override { logo = path; }
  void setStatus(const std::string& text) override { status = text; }
  void show() override { shown = true; }
  void hide() override { shown = false; }
  bool visible() const override { return shown; }

  void chooseDay(int index) { dayChosen.raise(chosen = index); }
  void doubleClick(int row) { rowActivated.raise(row); }
  void close() {
    shown = false;
    closed.raise();
  }
  int rowTitled(const std::string& text) const {
    for (size_t i = 0; i < rows.size(); ++i)
      if (rows[i].title == text) return static_cast<int>(i);
    return -1;
  }

  std::string title;
  std::vector<std::string> days;
  int chosen = -1;
  std::vector<GuideRow> rows;
  std::string logo;
  std::string status;
  bool shown = false;
};

}  // namespace zelvo::test
