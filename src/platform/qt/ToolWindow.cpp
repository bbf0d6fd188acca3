#include "platform/qt/ToolWindow.h"

#include <QScreen>
#include <QWidget>
#include <QWindow>
#include <algorithm>

namespace zelvo {

namespace {

constexpr int kGapToOwner = 8;

}  // namespace

void placeBesideOwner(QWidget& window, const QWidget& owner, OwnerSide side) {
  const QRect outer = owner.frameGeometry();
  const int width = window.width();
  const int left = outer.left() - width - kGapToOwner;
  const int right = outer.right() + kGapToOwner;
  QPoint at(side == OwnerSide::Left ? left : right, outer.top());
  if (const QScreen* screen = owner.screen()) {
    const QRect room = screen->availableGeometry();
    if (side == OwnerSide::Left && at.x() < room.left())
      at.setX(std::min(right, room.right() - width));
    if (side == OwnerSide::Right && at.x() + width > room.right())
      at.setX(std::max(room.left(), left));
  }
  window.move(at);
}

void showAboveOwner(QWidget& window, const QWidget* owner) {
  if (owner && owner->windowHandle()) {
    window.winId();
    window.windowHandle()->setTransientParent(owner->windowHandle());
  }
  window.show();
  window.raise();
  window.activateWindow();
}

}  // namespace zelvo
