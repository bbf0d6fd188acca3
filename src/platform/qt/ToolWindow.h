// The tool windows beside the main window ("节目单", "频道表"): where they first appear, and
// how they are kept above their owner.
#pragma once

class QWidget;

namespace zelvo {

enum class OwnerSide { Left, Right };

// Moves window beside owner, on the side asked for where the screen has room, else on the
// other side.
void placeBesideOwner(QWidget& window, const QWidget& owner, OwnerSide side);
// Shows window above its owner (the window system keeps it there) and gives it the focus.
void showAboveOwner(QWidget& window, const QWidget* owner);

}  // namespace zelvo
