// A drop-down list with an optional text field, and the list box: rows of text with the
// selection semantics the station list relies on.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/Control.h"

namespace zelvo {

// The station list and the page queue hold at most this many rows.
inline constexpr int kMaxListRows = 32767;

struct RowChange {
  enum Kind { Inserted, Removed, Cleared } kind;
  int index;
};

class RowList : public Control {
 public:
  using Control::Control;

  int count() const { return static_cast<int>(rows_.size()); }
  // Reading a row outside the list gives an empty text.
  std::string row(int index) const;
  // Inserts at index (appends when index is -1). Fails when the list is full or index is wrong.
  void addItem(const std::string& text, int index = -1);
  void removeItem(int index);
  // Empties the list and the text.
  void clear();

  const std::string& text() const { return text_; }
  // The row chosen by the last click while the text still shows it, otherwise the first row
  // whose text equals the text ignoring letter case, otherwise -1.
  int selectedIndex() const;
  // The first row whose text equals text ignoring letter case, or -1.
  int firstRowIgnoringCase(const std::string& text) const;

  void setRowObserver(std::function<void(RowChange)> observer) {
    rowObserver_ = std::move(observer);
  }
  // Every change of the rows, after the view's observer has heard it: for pieces beside the
  // window that follow the list.
  Event<RowChange> rowsChanged;

 protected:
  void assignText(std::string text);
  void rowChanged(RowChange change) const {
    if (rowObserver_) rowObserver_(change);
    rowsChanged.raise(change);
  }
  int clickedRow_ = -1;

 private:
  static constexpr int kNotKnown = -2;
  std::vector<std::string> rows_;
  std::string text_;
  // The first row equal to text_ ignoring letter case (-1: none), kept up to date as rows come
  // and go where that is cheap: the view asks for the selected row while a library of 32,767
  // rows loads, and a search of the whole list each time made the load quadratic.
  mutable int firstMatch_ = kNotKnown;
  std::function<void(RowChange)> rowObserver_;
};

class ComboBox : public RowList {
 public:
  using RowList::RowList;

  // Setting a different text, from the program or by typing, raises Change.
  void setText(std::string text);
  // The user picked a row from the list: the text and the selected index follow, Click is raised.
  void userChoseRow(int index);
  // The user pressed a key in the text field.
  void userKeyDown(int keyCode) { keyDown.raise(keyCode); }
  // A plain drop-down list shows its text but cannot be typed into.
  bool editable = true;

  Event<> change;
  Event<> click;
  Event<int> keyDown;
};

class ListBox : public RowList {
 public:
  using RowList::RowList;
  // Sets the text; a text that is no row leaves no row selected.
  void setText(std::string text) {
    clickedRow_ = -1;
    assignText(std::move(text));
  }
  void userChoseRow(int index);
  Event<> click;
};

}  // namespace zelvo
