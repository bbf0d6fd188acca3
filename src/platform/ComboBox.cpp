#include "platform/ComboBox.h"

#include <algorithm>

#include "platform/Failure.h"

namespace zelvo {

std::string toLowerAscii(std::string text) {
  for (char& c : text) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return text;
}

bool containsIgnoringCase(std::string_view text, std::string_view lowerNeedle) {
  if (lowerNeedle.empty()) return true;
  if (lowerNeedle.size() > text.size()) return false;
  const char first = lowerNeedle[0];
  const char firstUpper =
      first >= 'a' && first <= 'z' ? static_cast<char>(first - 'a' + 'A') : first;
  for (size_t i = 0; i + lowerNeedle.size() <= text.size(); ++i) {
    if (text[i] != first && text[i] != firstUpper) continue;
    size_t j = 0;
    while (j < lowerNeedle.size()) {
      char c = text[i + j];
      if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
      if (c != lowerNeedle[j]) break;
      ++j;
    }
    if (j == lowerNeedle.size()) return true;
  }
  return false;
}

bool equalsIgnoringCase(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
    if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
    if (x != y) return false;
  }
  return true;
}

std::string RowList::row(int index) const {
  if (index < 0 || index >= count()) return {};
  return rows_[static_cast<size_t>(index)];
}

void RowList::addItem(const std::string& text, int index) {
  if (count() >= kMaxListRows) fail(name() + ": the list is full");
  if (index == -1) index = count();
  if (index < 0 || index > count()) fail(name() + ": no row " + std::to_string(index));
  rows_.insert(rows_.begin() + index, text);
  if (clickedRow_ >= index) ++clickedRow_;
  rowChanged({RowChange::Inserted, index});
}

void RowList::removeItem(int index) {
  if (index < 0 || index >= count()) fail(name() + ": no row " + std::to_string(index));
  rows_.erase(rows_.begin() + index);
  if (clickedRow_ == index)
    clickedRow_ = -1;
  else if (clickedRow_ > index)
    --clickedRow_;
  rowChanged({RowChange::Removed, index});
}

void RowList::clear() {
  rows_.clear();
  clickedRow_ = -1;
  rowChanged({RowChange::Cleared, 0});
  assignText({});
}

int RowList::selectedIndex() const {
  if (clickedRow_ >= 0 && clickedRow_ < count() &&
      rows_[static_cast<size_t>(clickedRow_)] == text_) {
    return clickedRow_;
  }
  return firstRowIgnoringCase(text_);
}

int RowList::firstRowIgnoringCase(const std::string& text) const {
  auto found = std::find_if(rows_.begin(), rows_.end(),
                            [&text](const std::string& r) { return equalsIgnoringCase(r, text); });
  return found == rows_.end() ? -1 : static_cast<int>(found - rows_.begin());
}

void RowList::assignText(std::string text) {
  text_ = std::move(text);
  changed();
}

void ComboBox::setText(std::string text) {
  if (text == this->text()) return;
  clickedRow_ = -1;
  assignText(std::move(text));
  change.raise();
}

void ComboBox::userChoseRow(int index) {
  if (index < 0 || index >= count()) return;
  assignText(row(index));
  clickedRow_ = index;
  click.raise();
}

void ListBox::userChoseRow(int index) {
  if (index < 0 || index >= count()) return;
  assignText(row(index));
  clickedRow_ = index;
  click.raise();
}

}  // namespace zelvo
