#include "platform/ComboBox.h"

#include <algorithm>

#include "formats/TextCase.h"
#include "platform/Failure.h"

namespace zelvo {

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
  if (firstMatch_ != kNotKnown && (firstMatch_ < 0 || index <= firstMatch_) &&
      equalsIgnoringCase(text, text_))
    firstMatch_ = index;
  else if (firstMatch_ >= index)
    ++firstMatch_;
  rowChanged({RowChange::Inserted, index});
}

void RowList::removeItem(int index) {
  if (index < 0 || index >= count()) fail(name() + ": no row " + std::to_string(index));
  rows_.erase(rows_.begin() + index);
  if (firstMatch_ == index)
    firstMatch_ = kNotKnown;  // a later row may be equal too
  else if (firstMatch_ > index)
    --firstMatch_;
  if (clickedRow_ == index)
    clickedRow_ = -1;
  else if (clickedRow_ > index)
    --clickedRow_;
  rowChanged({RowChange::Removed, index});
}

void RowList::clear() {
  rows_.clear();
  clickedRow_ = -1;
  firstMatch_ = kNotKnown;
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
  const bool ownText = &text == &text_ || text == text_;
  if (ownText && firstMatch_ != kNotKnown) return firstMatch_;
  auto found = std::find_if(rows_.begin(), rows_.end(),
                            [&text](const std::string& r) { return equalsIgnoringCase(r, text); });
  const int first = found == rows_.end() ? -1 : static_cast<int>(found - rows_.begin());
  if (ownText) firstMatch_ = first;
  return first;
}

void RowList::assignText(std::string text) {
  if (text != text_) firstMatch_ = kNotKnown;
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
