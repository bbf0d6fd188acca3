#include "support/ModalCloser.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>

namespace zelvo::test {

ModalCloser::ModalCloser(int everyMs) {
  connect(&timer_, &QTimer::timeout, this, [this] { closeOpenBox(); });
  timer_.start(everyMs);
}

void ModalCloser::closeOpenBox() {
  auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
  if (!box || !box->isVisible()) return;
  texts_.push_back(box->text().toStdString());
  if (QAbstractButton* button = box->button(QMessageBox::Ok)) {
    button->click();
  } else {
    box->reject();
  }
}

}  // namespace zelvo::test
