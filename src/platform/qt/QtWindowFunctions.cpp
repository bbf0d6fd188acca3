#include "platform/qt/QtWindowFunctions.h"

#include <QApplication>
#include <QEvent>
#include <algorithm>

#include "platform/Failure.h"
#include "platform/posix/GbkCodec.h"

namespace zelvo {

namespace {
WindowHandle handleOf(QWidget* widget) { return reinterpret_cast<WindowHandle>(widget); }
}  // namespace

QtWindowFunctions::QtWindowFunctions() { qApp->installEventFilter(this); }

QtWindowFunctions::~QtWindowFunctions() {
  if (qApp) qApp->removeEventFilter(this);
}

bool QtWindowFunctions::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::WindowActivate && watched->isWidgetType()) {
    auto* widget = static_cast<QWidget*>(watched);
    if (widget->isWindow()) {
      std::erase_if(activations_,
                    [widget](const QPointer<QWidget>& w) { return !w || w == widget; });
      activations_.emplace_back(widget);
    }
  }
  return QObject::eventFilter(watched, event);
}

// Only live top-level widgets of this application are windows; anything else is no window.
QWidget* QtWindowFunctions::widgetOf(WindowHandle handle) const {
  if (!handle) return nullptr;
  for (QWidget* widget : QApplication::topLevelWidgets()) {
    if (handleOf(widget) == handle) return widget;
  }
  return nullptr;
}

WindowHandle QtWindowFunctions::activeWindow() { return handleOf(QApplication::activeWindow()); }

WindowHandle QtWindowFunctions::lastActivePopup(WindowHandle owner) {
  QWidget* ownerWidget = widgetOf(owner);
  if (!ownerWidget) return owner;
  for (auto it = activations_.rbegin(); it != activations_.rend(); ++it) {
    QWidget* candidate = it->data();
    if (!candidate || candidate == ownerWidget || !candidate->isVisible()) continue;
    if (candidate->parentWidget() && candidate->parentWidget()->window() == ownerWidget)
      return handleOf(candidate);
  }
  return owner;
}

std::string QtWindowFunctions::windowText(WindowHandle window, int maxCount) {
  QWidget* widget = widgetOf(window);
  if (!widget) fail("no such window");
  if (maxCount <= 1) return {};
  std::string bytes = utf8ToGbk(widget->windowTitle().toStdString());
  const size_t limit = static_cast<size_t>(maxCount - 1);
  if (bytes.size() > limit) {
    // Step back to the start of the character that crosses the limit.
    size_t cut = 0;
    while (cut < bytes.size()) {
      const size_t width = static_cast<unsigned char>(bytes[cut]) >= 0x81 ? 2 : 1;
      if (cut + width > limit) break;
      cut += width;
    }
    bytes.resize(cut);
  }
  return gbkToUtf8(bytes);
}

void QtWindowFunctions::sendClose(WindowHandle window) {
  QWidget* widget = widgetOf(window);
  if (!widget) fail("no such window");
  widget->close();
}

}  // namespace zelvo
