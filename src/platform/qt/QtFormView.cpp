#include "platform/qt/QtFormView.h"

#include <QApplication>
#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QLayout>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QShortcut>
#include <QWindowStateChangeEvent>
#include <memory>

#include "platform/ComboBox.h"
#include "platform/Steps.h"
#include "platform/qt/ControlWidgets.h"
#include "platform/qt/KeyCodes.h"
#include "platform/qt/QtText.h"

namespace zelvo {

namespace {

int px(int twips) { return twips / kTwipsPerPixel; }

}  // namespace

QtFormView::QtFormView(Window& window, const std::vector<Control*>& controls) : window_(window) {
  setAttribute(Qt::WA_DeleteOnClose, false);
  for (Control* control : controls) {
    QWidget* widget = makeWidget(*control);
    widgets_[control] = widget;
    controls_[widget] = control;
    watch(widget);
    for (QWidget* child : widget->findChildren<QWidget*>()) controls_[child] = control;
    if (auto* label = dynamic_cast<Label*>(control)) labels_.push_back(label);
    drawOrder_[control] = drawOrder_.size();
  }
  installEventFilter(this);
  window_.setViewHooks([this] { applyWindow(); }, [this] { activateWindow(); });
  connect(qApp, &QApplication::focusChanged, this, &QtFormView::focusChanged);
  applyWindow();
}

QtFormView::~QtFormView() {
  // The widgets go after this body, and the one with the focus reports its loss to a view
  // that is no longer there.
  disconnect(qApp, &QApplication::focusChanged, this, nullptr);
  window_.setViewHooks({}, {});
  for (auto& [control, widget] : widgets_) {
    control->setViewHooks({}, {});
    if (auto* rows = dynamic_cast<RowList*>(control)) rows->setRowObserver({});
  }
}

QWidget* QtFormView::widgetOf(const Control& control) const {
  auto found = widgets_.find(const_cast<Control*>(&control));
  return found == widgets_.end() ? nullptr : found->second;
}

Control* QtFormView::controlOf(QWidget* widget) const {
  for (; widget; widget = widget->parentWidget()) {
    auto found = controls_.find(widget);
    if (found != controls_.end()) return found->second;
  }
  return nullptr;
}

QWidget* QtFormView::makeWidget(Control& control) {
  auto [widget, sync] = makeControlWidget(control, this);
  widget->setObjectName(qs(control.name()));
  auto apply = [this, &control, widget, sync] {
    applyGeometry(control, widget);
    widget->setVisible(control.visible());
    widget->setEnabled(control.enabled());
    widget->setToolTip(qs(control.toolTip()));
    if (sync) sync();
  };
  control.setViewHooks(apply, [widget] { widget->setFocus(Qt::OtherFocusReason); });
  apply();
  return widget;
}

void QtFormView::attach(Control& host, QWidget* content) {
  QWidget* area = widgetOf(host);
  if (!area || !content) return;
  content->setParent(area);
  area->layout()->addWidget(content);
  watch(content);
  content->show();
}

// Key and mouse events of the widget and of every widget inside it, now or later, pass the
// window's filter.
void QtFormView::watch(QWidget* widget) {
  widget->installEventFilter(this);
  for (QWidget* child : widget->findChildren<QWidget*>()) child->installEventFilter(this);
}

void QtFormView::requestUnload() {
  if (unloading_) return;
  unloading_ = true;
  step([&] { window_.userClosed(); });
  unloading_ = false;
}

// A press inside the area of a visible, enabled label whose caption is empty clicks the label,
// unless it lands on a control drawn above the label.
bool QtFormView::clickEmptyLabel(QWidget* target, const QPointF& position) {
  if (!target || (target != this && !isAncestorOf(target))) return false;
  const QPoint at = target->mapTo(this, position.toPoint());
  const Control* below = controlOf(target);
  for (Label* label : labels_) {
    if (!label->visible() || !label->enabled() || !label->caption().empty()) continue;
    if (below && drawOrder_.at(below) > drawOrder_.at(label)) continue;
    const TwipRect r = label->rect();
    if (QRect(px(r.left), px(r.top), px(r.width), px(r.height)).contains(at)) {
      step([&] { label->userClicked(); });
      return true;
    }
  }
  return false;
}

// The control's own entries follow what the toolkit offers there (a text field's copy and
// paste). The choice is reported once the menu is gone.
void QtFormView::showContextMenu(Control& control, QWidget* widget, const QPoint& at) {
  auto* edit = qobject_cast<QLineEdit*>(widget);
  std::unique_ptr<QMenu> menu(edit ? edit->createStandardContextMenu() : new QMenu);
  if (!menu->isEmpty()) menu->addSeparator();
  std::map<QAction*, std::string> entries;
  for (const std::string& caption : control.contextActions())
    entries[menu->addAction(qs(caption))] = caption;
  std::map<QAction*, size_t> replaceable;
  const std::vector<ContextEntry>& more = control.contextEntries();
  for (size_t i = 0; i < more.size(); ++i) {
    if (more[i].heading && !menu->isEmpty()) menu->addSeparator();
    QAction* action = menu->addAction(qs(more[i].caption));
    action->setEnabled(!more[i].heading);
    action->setCheckable(more[i].checked);
    action->setChecked(more[i].checked);
    replaceable[action] = i;
  }
  QAction* chosen = menu->exec(at);
  if (auto entry = replaceable.find(chosen); entry != replaceable.end()) {
    const size_t index = entry->second;
    const std::string caption = chosen->text().toStdString();
    menu.reset();
    step([&] { control.userContextEntry(index, caption); });
    return;
  }
  auto found = entries.find(chosen);
  if (found == entries.end()) return;
  const std::string caption = found->second;
  menu.reset();
  step([&] { control.userContextAction(caption); });
}

void QtFormView::applyGeometry(Control& control, QWidget* widget) {
  TwipRect r = control.rect();
  widget->setGeometry(px(r.left), px(r.top), px(r.width), px(r.height));
}

void QtFormView::applyWindow() {
  applyingWindow_ = true;
  setWindowTitle(qs(window_.caption()));
  // The model's size is the outer size, title bar and borders included.
  const int extraWidth = frameGeometry().width() - width();
  const int extraHeight = frameGeometry().height() - height();
  resize(std::max(1, px(window_.width()) - extraWidth),
         std::max(1, px(window_.height()) - extraHeight));
  Qt::WindowStates wanted = Qt::WindowNoState;
  if (window_.windowState() == WindowState::Minimized) wanted = Qt::WindowMinimized;
  if (window_.windowState() == WindowState::Maximized) wanted = Qt::WindowMaximized;
  if (windowState() != wanted) setWindowState(wanted);
  setVisible(window_.visible());
  for (size_t i = shortcuts_; i < window_.shortcuts().size(); ++i, ++shortcuts_) {
    const std::string keys = window_.shortcuts()[i];
    auto* shortcut = new QShortcut(QKeySequence(qs(keys)), this);
    connect(shortcut, &QShortcut::activated, this,
            [this, keys] { step([&] { window_.userShortcut(keys); }); });
  }
  applyingWindow_ = false;
  if (isVisible() && !shown_) {
    shown_ = true;
    if (onFirstShown) onFirstShown();
  }
}

void QtFormView::closeEvent(QCloseEvent* event) {
  event->ignore();
  requestUnload();
}

void QtFormView::changeEvent(QEvent* event) {
  QWidget::changeEvent(event);
  if (event->type() != QEvent::WindowStateChange || applyingWindow_) return;
  int state = WindowState::Normal;
  if (windowState() & Qt::WindowMinimized)
    state = WindowState::Minimized;
  else if (windowState() & Qt::WindowMaximized)
    state = WindowState::Maximized;
  window_.userStateChanged(state);
}

bool QtFormView::eventFilter(QObject* watched, QEvent* event) {
  // A dialog or tool window parented to the form is a window of its own: its keys and clicks
  // are not the form's.
  if (watched != this && watched->isWidgetType() &&
      static_cast<QWidget*>(watched)->window() != this)
    return false;
  if (event->type() == QEvent::ChildAdded) {
    auto* child = static_cast<QChildEvent*>(event)->child();
    if (child->isWidgetType()) watch(static_cast<QWidget*>(child));
  }
  // The second press of a double click clicks too, as on a label with its text.
  const bool press =
      event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonDblClick;
  if (press && watched->isWidgetType()) {
    auto* mouse = static_cast<QMouseEvent*>(event);
    if (mouse->button() == Qt::LeftButton &&
        clickEmptyLabel(static_cast<QWidget*>(watched), mouse->position()))
      return true;
  }
  if (event->type() == QEvent::ContextMenu && watched->isWidgetType()) {
    auto* widget = static_cast<QWidget*>(watched);
    Control* control = controlOf(widget);
    if (control) step([&] { control->userOpensContextMenu(); });
    if (control && (!control->contextActions().empty() || !control->contextEntries().empty())) {
      showContextMenu(*control, widget, static_cast<QContextMenuEvent*>(event)->globalPos());
      return true;
    }
  }
  if (event->type() == QEvent::KeyPress) {
    auto* key = static_cast<QKeyEvent*>(event);
    // A key the focused widget ignores travels on to its parents: handle it once. The event's
    // address and time alone do not tell it from the next key (events built in one place share
    // an address, and a time may repeat), but a key that travels on reaches a parent.
    auto* receiver = qobject_cast<QWidget*>(watched);
    if (key == lastKey_ && key->timestamp() == lastKeyTime_ && receiver && lastKeyReceiver_ &&
        receiver != lastKeyReceiver_ && receiver->isAncestorOf(lastKeyReceiver_))
      return QWidget::eventFilter(watched, event);
    lastKey_ = key;
    lastKeyTime_ = key->timestamp();
    lastKeyReceiver_ = receiver;
    const int code = toolkitKeyCode(*key);
    Control* control = controlOf(qobject_cast<QWidget*>(watched));
    // The text field's own key events first, then the window's: it previews every key.
    if (auto* combo = dynamic_cast<ComboBox*>(control); combo && code) {
      step([&] { combo->userKeyDown(code); });
    }
    if (auto* button = dynamic_cast<Button*>(control); button && code) {
      step([&] { button->userKeyDown(code); });
    }
    if (code) step([&] { window_.userKeyDown(code); });
  }
  return QWidget::eventFilter(watched, event);
}

void QtFormView::focusChanged(QWidget* old, QWidget* now) {
  Control* from = controlOf(old);
  Control* to = controlOf(now);
  if (from == to) return;
  if (from) step([&] { from->userFocusChanged(false); });
  if (to) step([&] { to->userFocusChanged(true); });
}

}  // namespace zelvo
