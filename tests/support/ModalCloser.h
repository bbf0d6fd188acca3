// Answers the program's modal message boxes as a user would, by pressing their button, and
// remembers what they said. Works while the box runs its own event loop.
#pragma once

#include <QObject>
#include <QTimer>
#include <string>
#include <vector>

namespace zelvo::test {

class ModalCloser : public QObject {
 public:
  explicit ModalCloser(int everyMs = 50);
  // The texts of the boxes closed so far, oldest first.
  const std::vector<std::string>& texts() const { return texts_; }

 private:
  void closeOpenBox();
  QTimer timer_;
  std::vector<std::string> texts_;
};

}  // namespace zelvo::test
