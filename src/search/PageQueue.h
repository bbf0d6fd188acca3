// The page queue: the rows of the list box tvmx, first in, first out, with an index of the
// waiting addresses so that a link is checked against the queue without a pass over it.
#pragma once

#include <string>
#include <unordered_map>

#include "platform/ComboBox.h"

namespace zelvo {

class PageQueue {
 public:
  explicit PageQueue(ListBox& rows) : rows_(rows) {}

  int count() const { return rows_.count(); }
  // Row 0; an empty text when the queue is empty.
  std::string head() const { return rows_.row(0); }
  // Whether an equal address, ignoring letter case, is waiting.
  bool holds(const std::string& address);
  // Adds the address at the end. Fails when the queue is full.
  void append(const std::string& address);
  // Removes row 0.
  void removeHead();
  void clear();

 private:
  void forget(const std::string& address);
  // Rebuilds the index when the rows were changed past it.
  void catchUp();

  ListBox& rows_;
  std::unordered_map<std::string, int> waiting_;  // lower-case address: rows holding it
  int indexedRows_ = 0;
};

}  // namespace zelvo
