#include "platform/qt/QtServices.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMessageBox>
#include <map>

#include "platform/Steps.h"

namespace zelvo {

namespace {

// A key that is still held when a box comes up repeats into it: the Enter that closed the
// search's first box, say, would close the scan's last box before anyone saw it. A box only
// takes keys pressed while it is shown. X repeats a held key either as presses marked as
// repeats or, without detectable auto-repeat, as a release and a press with one timestamp.
class HeldKeyFilter : public QObject {
 public:
  bool eventFilter(QObject*, QEvent* event) override {
    const auto type = event->type();
    if (type != QEvent::KeyPress && type != QEvent::ShortcutOverride && type != QEvent::KeyRelease)
      return false;
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->isAutoRepeat()) return true;
    if (type == QEvent::KeyRelease) {
      lastRelease_[key->key()] = key->timestamp();
      return false;
    }
    const auto release = lastRelease_.find(key->key());
    return release != lastRelease_.end() && key->timestamp() != 0 &&
           release->second == key->timestamp();
  }

 private:
  std::map<int, quint64> lastRelease_;
};

}  // namespace

void QtMessageBoxes::show(const std::string& text, const std::string& title, MessageIcon icon) {
  HeldKeyFilter heldKeys;  // outlives the box it filters
  QMessageBox box;
  box.setWindowTitle(QString::fromStdString(title));
  box.setText(QString::fromStdString(text));
  switch (icon) {
    case MessageIcon::Information:
      box.setIcon(QMessageBox::Information);
      break;
    case MessageIcon::Warning:
      box.setIcon(QMessageBox::Warning);
      break;
    case MessageIcon::Error:
      box.setIcon(QMessageBox::Critical);
      break;
    case MessageIcon::None:
      break;
  }
  box.setStandardButtons(QMessageBox::Ok);
  box.installEventFilter(&heldKeys);
  for (QWidget* child : box.findChildren<QWidget*>()) child->installEventFilter(&heldKeys);
  box.exec();
}

}  // namespace zelvo
