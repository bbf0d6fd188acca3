#include "platform/qt/QtWindowFunctions.h"

#include <QApplication>
#include <QEvent>
#include <algorithm>

#include "platform/Failure.h"
#include "platform/posix/GbkCodec.h"

namespace zelvo {

namespace {

WindowHandle handleOf(QWidget* widget) { return reinterpret_cast<WindowHandle>(widget); }

// Drop-down lists, menus and tooltips are top-level too, but never become active windows.
bool canBeActive(const QWidget* widget) {
  const Qt::WindowType type = widget->windowType();
  return type != Qt::Popup && type != Qt::ToolTip && type != Qt::SplashScreen;
}

}  // namespace

std::string gbkPrefix(const std::string& utf8Text, size_t maxBytes) {
  std::string bytes = utf8ToGbk(utf8Text);
  if (bytes.size() <= maxBytes) return bytes;
  size_t cut = 0;
  while (cut < bytes.size()) {
    // A lead byte (0x81 and up) and its trail byte form one character; a digit after the lead
    // makes it one of GB18030's four-byte characters.
    const bool lead = static_cast<unsigned char>(bytes[cut]) >= 0x81;
    const bool four =
        lead && cut + 1 < bytes.size() && bytes[cut + 1] >= '0' && bytes[cut + 1] <= '9';
    const size_t width = four ? 4 : lead ? 2 : 1;
    if (cut + width > maxBytes) break;
    cut += width;
  }
  bytes.resize(cut);
  return bytes;
}

QtWindowFunctions::QtWindowFunctions() { qApp->installEventFilter(this); }

QtWindowFunctions::~QtWindowFunctions() {
  if (qApp) qApp->removeEventFilter(this);
}

bool QtWindowFunctions::eventFilter(QObject* watched, QEvent* event) {
  const QEvent::Type type = event->type();
  if ((type == QEvent::WindowActivate || type == QEvent::Show) && watched->isWidgetType()) {
    auto* widget = static_cast<QWidget*>(watched);
    if (widget->isWindow()) {
      std::erase_if(recent_, [widget](const QPointer<QWidget>& w) { return !w || w == widget; });
      recent_.emplace_back(widget);
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
  for (auto it = recent_.rbegin(); it != recent_.rend(); ++it) {
    QWidget* candidate = it->data();
    if (!candidate || candidate == ownerWidget || !candidate->isVisible()) continue;
    if (!canBeActive(candidate)) continue;
    QWidget* parent = candidate->parentWidget();
    if (parent && parent->window() == ownerWidget) return handleOf(candidate);
  }
  return owner;
}

std::string QtWindowFunctions::windowText(WindowHandle window, int maxCount) {
  QWidget* widget = widgetOf(window);
  if (!widget) fail("no such window");
  if (maxCount <= 1) return {};
  return gbkToUtf8(
      gbkPrefix(widget->windowTitle().toStdString(), static_cast<size_t>(maxCount - 1)));
}

void QtWindowFunctions::sendClose(WindowHandle window) {
  QWidget* widget = widgetOf(window);
  if (!widget) fail("no such window");
  // Delivered at once: the window's close handling has run when this returns.
  widget->close();
}

}  // namespace zelvo
