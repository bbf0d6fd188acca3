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
  void setRows(const std::vector<GuideRow>& shown) override {
    rows = shown;
    ++rowUpdates;
  }
  void setLogo(const std::string& path) override { logo = path; }
  void setStatus(const std::string& text) override { status = text; }
  void show() override { shown = true; }
  void hide() override { shown = false; }
  bool visible() const override { return shown; }

  void chooseDay(int index) {
    chosen = index;
    dayChosen.raise(index);
  }
  void doubleClick(int row) { rowActivated.raise(row); }
  void close() {
    shown = false;
    closed.raise();
  }
  // The index of the first row with this title, or -1.
  int rowTitled(const std::string& text) const;
  // The rows as "time title", with "*" before the running one and "+" before playable ones.
  std::vector<std::string> lines() const;

  std::string title;
  std::vector<std::string> days;
  int chosen = -1;
  std::vector<GuideRow> rows;
  int rowUpdates = 0;
  std::string logo;
  std::string status;
  bool shown = false;
};

}  // namespace zelvo::test
