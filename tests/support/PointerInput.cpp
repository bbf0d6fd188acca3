// Mouse input through XTest, driven from timers: a menu or a drag runs its own event loop, and
// the next step must come from inside it.
#include "support/PointerInput.h"

#include <QApplication>
#include <QMenu>
#include <QTimer>

#include "support/Waiting.h"
#include "support/XClient.h"

namespace zelvo::test {

std::vector<std::string> rightClickMenu(XClient& x, QWidget* window, QPoint at,
                                        const std::string& choose,
                                        const std::function<void()>& whileOpen) {
  std::vector<std::string> seen;
  bool done = false;
  QTimer poll;
  poll.setInterval(50);
  QObject::connect(&poll, &QTimer::timeout, [&] {
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    if (!menu || !menu->isVisible()) return;
    poll.stop();
    if (whileOpen) whileOpen();
    done = true;
    QAction* chosen = nullptr;
    for (QAction* action : menu->actions()) {
      if (action->isSeparator()) continue;
      const std::string text = action->text().toStdString();
      seen.push_back((action->isChecked() ? "* " : "") + text);
      if (text == choose) chosen = action;
    }
    if (!chosen) {
      menu->close();
      return;
    }
    const QPoint entry = menu->actionGeometry(chosen).center();
    x.click(menu->winId(), entry.x(), entry.y());
  });
  poll.start();
  x.click(window->winId(), at.x(), at.y(), 3);
  waitUntil([&] { return done; }, 10000);
  processEventsFor(300);
  return seen;
}

void dragWithMouse(XClient& x, QWidget* window, QPoint from, QPoint to) {
  constexpr int kSteps = 12;
  int step = 0;
  QTimer pace;
  pace.setInterval(40);
  QObject::connect(&pace, &QTimer::timeout, [&] {
    const unsigned long id = window->winId();
    if (step == 0) {
      x.moveTo(id, from.x(), from.y());
      x.setButton(1, true);
    } else if (step <= kSteps) {
      const QPoint at = from + (to - from) * step / kSteps;
      x.moveTo(id, at.x(), at.y());
    } else {
      // Once more where it ends, then let go: the target has heard of the drag by then.
      x.moveTo(id, to.x(), to.y());
      x.setButton(1, false);
      pace.stop();
    }
    ++step;
  });
  pace.start();
  waitUntil([&] { return !pace.isActive(); }, 10000);
  processEventsFor(300);
}

}  // namespace zelvo::test
