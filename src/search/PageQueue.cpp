#include "search/PageQueue.h"

#include "formats/TextCase.h"
#include "platform/Failure.h"

namespace zelvo {

bool PageQueue::holds(const std::string& address) {
  catchUp();
  return waiting_.count(toLowerAscii(address)) > 0;
}

void PageQueue::append(const std::string& address) {
  catchUp();
  rows_.addItem(address, count());
  ++waiting_[toLowerAscii(address)];
  ++indexedRows_;
}

void PageQueue::removeHead() {
  catchUp();
  if (count() == 0) fail("the page queue is empty");
  const std::string address = head();
  rows_.removeItem(0);
  forget(address);
  --indexedRows_;
}

void PageQueue::clear() {
  rows_.clear();
  waiting_.clear();
  indexedRows_ = 0;
}

void PageQueue::forget(const std::string& address) {
  auto entry = waiting_.find(toLowerAscii(address));
  if (entry != waiting_.end() && --entry->second <= 0) waiting_.erase(entry);
}

void PageQueue::catchUp() {
  if (indexedRows_ == count()) return;
  waiting_.clear();
  for (int i = 0; i < count(); ++i) ++waiting_[toLowerAscii(rows_.row(i))];
  indexedRows_ = count();
}

}  // namespace zelvo
