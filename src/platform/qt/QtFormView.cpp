#include "platform/qt/QtFormView.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextCursor>
#include <QTextDocument>
#include <QVBoxLayout>
#include <QWindowStateChangeEvent>
#include <memory>

#include "platform/ComboBox.h"
#include "platform/Steps.h"
#include "platform/qt/KeyCodes.h"

namespace zelvo {

namespace {

int px(int twips) { return twips / kTwipsPerPixel; }
QString qs(const std::string& text) { return QString::fromStdString(text); }

// A frame or label that reports clicks on itself.
template <class Base>
class Clickable : public Base {
 public:
  Clickable(CaptionControl& model, QWidget* parent) : Base(parent), model_(model) {}

 protected:
  void mousePressEvent(QMouseEvent* event) override {
    Base::mousePressEvent(event);
    step([&] { model_.userClicked(); });
  }

 private:
  CaptionControl& model_;
};

// Mirrors the rows of a list model in a combo box or list widget. Rows appended one by one (a
// station file loads line by line) are added in batches on the next turn of the event loop.
// After every change of the shown rows, rowsShown runs.
class RowMirror : public QObject {
 public:
  RowMirror(QComboBox* combo, QListWidget* list, const RowList& model, QObject* parent,
            std::function<void()> rowsShown = {})
      : QObject(parent),
        combo_(combo),
        list_(list),
        model_(model),
        rowsShown_(std::move(rowsShown)) {}

  void apply(RowChange change) {
    if (change.kind == RowChange::Inserted &&
        change.index == shownCount() + static_cast<int>(pending_.size())) {
      pending_.append(qs(model_.row(change.index)));
      if (pending_.size() == 1)
        QMetaObject::invokeMethod(
            this, [this] { flush(); }, Qt::QueuedConnection);
      return;
    }
    if (change.kind == RowChange::Cleared) {
      pending_.clear();
    } else {
      flush();
    }
    const QSignalBlocker blockCombo(combo_);
    const QSignalBlocker blockList(list_);
    switch (change.kind) {
      case RowChange::Inserted:
        if (combo_) combo_->insertItem(change.index, qs(model_.row(change.index)));
        if (list_) list_->insertItem(change.index, qs(model_.row(change.index)));
        break;
      case RowChange::Removed:
        if (combo_) combo_->removeItem(change.index);
        if (list_) delete list_->takeItem(change.index);
        break;
      case RowChange::Cleared:
        if (combo_) combo_->clear();
        if (list_) list_->clear();
        break;
    }
    if (rowsShown_) rowsShown_();
  }

  void flush() {
    if (pending_.isEmpty()) return;
    {
      const QSignalBlocker blockCombo(combo_);
      const QSignalBlocker blockList(list_);
      if (combo_) combo_->addItems(pending_);
      if (list_) list_->addItems(pending_);
      pending_.clear();
    }
    if (rowsShown_) rowsShown_();
  }

 private:
  int shownCount() const { return combo_ ? combo_->count() : list_->count(); }
  QComboBox* combo_;
  QListWidget* list_;
  const RowList& model_;
  std::function<void()> rowsShown_;
  QStringList pending_;
};

// A combo box that shows its model's text and row, whatever Qt does by itself: it selects the
// first row that arrives in an empty list, another row when the current one goes, and it may
// move the current row while its popup is open.
class ModelComboBox : public QComboBox {
 public:
  ModelComboBox(ComboBox& model, QWidget* parent) : QComboBox(parent), model_(model) {
    // Deferred: the user's own choice is reported (activated) after the index changed, and the
    // model must hear of it before the view goes back to the model.
    connect(this, &QComboBox::currentIndexChanged, this, [this] { showModelLater(); });
  }

  void showModel() {
    const QSignalBlocker block(this);
    const int row = model_.selectedIndex();
    if (currentIndex() != row) setCurrentIndex(row);
    const QString text = qs(model_.text());
    if (isEditable() && currentText() != text) setEditText(text);
  }

  void hidePopup() override {
    QComboBox::hidePopup();
    showModelLater();
  }

 private:
  void showModelLater() {
    QMetaObject::invokeMethod(
        this, [this] { showModel(); }, Qt::QueuedConnection);
  }

  ComboBox& model_;
};

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
  QWidget* widget = nullptr;
  std::function<void()> sync;

  if (auto* combo = dynamic_cast<ComboBox*>(&control)) {
    auto* box = new ModelComboBox(*combo, this);
    box->setEditable(combo->editable);
    box->setInsertPolicy(QComboBox::NoInsert);
    if (QLineEdit* edit = box->lineEdit()) {
      // The field shows what was typed and no more: no completion from the rows.
      box->setCompleter(nullptr);
      // Enter and leaving the field would otherwise select the row that matches the text and
      // report it as chosen from the list: only a row picked from the list is a choice.
      QObject::disconnect(edit, SIGNAL(returnPressed()), box, nullptr);
      QObject::disconnect(edit, SIGNAL(editingFinished()), box, nullptr);
    }
    box->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    box->setMaxVisibleItems(20);
    // Narrow design widths (the threshold list is 33 pixels) leave room for the text only
    // with a slim arrow.
    if (control.rect().width < 1200) {
      box->setStyleSheet(
          "QComboBox { padding: 0px 0px 0px 2px; } QComboBox::drop-down { width: 10px; }");
    }
    for (int i = 0; i < combo->count(); ++i) box->addItem(qs(combo->row(i)));
    auto* mirror = new RowMirror(box, nullptr, *combo, box, [box] { box->showModel(); });
    combo->setRowObserver([mirror](RowChange change) { mirror->apply(change); });
    if (box->lineEdit()) {
      connect(box->lineEdit(), &QLineEdit::textEdited, this,
              [combo](const QString& text) { step([&] { combo->setText(text.toStdString()); }); });
    }
    connect(box, QOverload<int>::of(&QComboBox::activated), this,
            [combo](int index) { step([&] { combo->userChoseRow(index); }); });
    sync = [box, mirror] {
      mirror->flush();
      box->showModel();
    };
    widget = box;
  } else if (auto* listModel = dynamic_cast<ListBox*>(&control)) {
    auto* list = new QListWidget(this);
    for (int i = 0; i < listModel->count(); ++i) list->addItem(qs(listModel->row(i)));
    auto* mirror = new RowMirror(nullptr, list, *listModel, list);
    listModel->setRowObserver([mirror](RowChange change) { mirror->apply(change); });
    connect(list, &QListWidget::itemClicked, this, [list, listModel](QListWidgetItem* item) {
      step([&] { listModel->userChoseRow(list->row(item)); });
    });
    widget = list;
  } else if (auto* text = dynamic_cast<TextBox*>(&control)) {
    if (text->multiLine) {
      auto* edit = new QPlainTextEdit(this);
      // The program rewrites the field all the time; an undo history would only keep every
      // address ever inserted.
      edit->setUndoRedoEnabled(false);
      connect(edit, &QPlainTextEdit::textChanged, this,
              [edit, text] { step([&] { text->setText(edit->toPlainText().toStdString()); }); });
      // The log of played addresses grows at its start with every station. Inserting only what
      // is new, instead of laying out the whole log again, keeps each switch from leaving ever
      // larger copies behind in the allocator. The length tells whether the field still holds
      // what was last shown: the user may have typed into it.
      struct Shown {
        std::string text;
        int length = 1;  // an empty document holds one character
      };
      sync = [edit, text, shown = std::make_shared<Shown>()] {
        const QSignalBlocker block(edit);
        QTextDocument& document = *edit->document();
        const std::string& wanted = text->text();
        const bool unchanged = document.characterCount() == shown->length;
        if (unchanged && wanted == shown->text) return;
        if (unchanged && !shown->text.empty() && wanted.size() > shown->text.size() &&
            wanted.ends_with(shown->text)) {
          QTextCursor(&document).insertText(
              qs(wanted.substr(0, wanted.size() - shown->text.size())));
        } else {
          edit->setPlainText(qs(wanted));
        }
        shown->text = wanted;
        shown->length = document.characterCount();
      };
      widget = edit;
    } else {
      auto* edit = new QLineEdit(this);
      connect(edit, &QLineEdit::textEdited, this,
              [text](const QString& value) { step([&] { text->setText(value.toStdString()); }); });
      sync = [edit, text] {
        if (edit->text().toStdString() != text->text()) edit->setText(qs(text->text()));
      };
      widget = edit;
    }
  } else if (auto* check = dynamic_cast<CheckBox*>(&control)) {
    auto* box = new QCheckBox(this);
    box->setAutoFillBackground(true);
    connect(box, &QCheckBox::clicked, this,
            [check](bool on) { step([&] { check->userToggled(on); }); });
    sync = [box, check] {
      box->setText(qs(check->caption()));
      box->setChecked(check->checked());
    };
    widget = box;
  } else if (auto* button = dynamic_cast<Button*>(&control)) {
    auto* push = new QPushButton(this);
    connect(push, &QPushButton::clicked, this, [button] { step([&] { button->userClicked(); }); });
    sync = [push, button] { push->setText(qs(button->caption())); };
    widget = push;
  } else if (auto* label = dynamic_cast<Label*>(&control)) {
    auto* view = new Clickable<QLabel>(*label, this);
    view->setWordWrap(true);
    view->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    // The red hint holds two lines in a box sized for the toolkit's small default font.
    if (label->redText) view->setStyleSheet("color: red; font-size: 11px;");
    view->setAutoFillBackground(true);
    sync = [view, label] {
      view->setText(qs(label->caption()));
      // Over the video a label is a window of its own; an empty one would only cover the picture
      // with an opaque box. It stays clickable: the window routes clicks in its area to it.
      if (label->caption().empty()) view->hide();
    };
    widget = view;
  } else if (auto* frame = dynamic_cast<Frame*>(&control)) {
    auto* view = new Clickable<QFrame>(*frame, this);
    view->setFrameShape(QFrame::StyledPanel);
    widget = view;
  } else {
    auto* area = new QWidget(this);
    area->setAutoFillBackground(true);
    QPalette palette = area->palette();
    palette.setColor(QPalette::Window, Qt::black);
    area->setPalette(palette);
    auto* layout = new QVBoxLayout(area);
    layout->setContentsMargins(0, 0, 0, 0);
    widget = area;
  }

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
  applyingWindow_ = false;
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
