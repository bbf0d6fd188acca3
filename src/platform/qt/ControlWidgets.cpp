#include "platform/qt/ControlWidgets.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextCursor>
#include <QTextDocument>
#include <QVBoxLayout>
#include <memory>

#include "platform/ComboBox.h"
#include "platform/Steps.h"
#include "platform/qt/QtText.h"
#include "platform/qt/RowListModel.h"

namespace zelvo {

namespace {

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

// A combo box that shows its model's text and row, whatever Qt does by itself: it selects the
// first row that arrives in an empty list, another row when the current one goes, and it may
// move the current row while its popup is open.
class ModelComboBox : public QComboBox {
 public:
  ModelComboBox(ComboBox& model, QWidget* parent) : QComboBox(parent), model_(model) {
    setModel(rows_);
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

  // Rows appended one by one (a station file loads line by line) are shown at once, and the
  // model's row and text once the loop turns.
  void follow(RowChange change) {
    rows_->follow(change);
    if (change.kind == RowChange::Inserted && change.index + 1 == count())
      showModelLater();
    else
      showModel();
  }

 private:
  void showModelLater() {
    if (showPending_) return;
    showPending_ = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
          showPending_ = false;
          showModel();
        },
        Qt::QueuedConnection);
  }

  ComboBox& model_;
  RowListModel* rows_ = new RowListModel(model_, this);
  bool showPending_ = false;
};

ControlWidget widgetFor(ComboBox& combo, QWidget* parent) {
  auto* box = new ModelComboBox(combo, parent);
  box->setEditable(combo.editable);
  box->setInsertPolicy(QComboBox::NoInsert);
  if (QLineEdit* edit = box->lineEdit()) {
    // The field shows what was typed and no more: no completion from the rows.
    box->setCompleter(nullptr);
    // Enter and leaving the field would otherwise select the row that matches the text and
    // report it as chosen from the list: only a row picked from the list is a choice.
    QObject::disconnect(edit, SIGNAL(returnPressed()), box, nullptr);
    QObject::disconnect(edit, SIGNAL(editingFinished()), box, nullptr);
    QObject::connect(edit, &QLineEdit::textEdited, box, [&combo](const QString& text) {
      step([&] { combo.setText(text.toStdString()); });
    });
  }
  box->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
  box->setMaxVisibleItems(20);
  // Narrow design widths (the threshold list is 33 pixels) leave room for the text only with a
  // slim arrow.
  if (combo.rect().width < 1200) {
    box->setStyleSheet(
        "QComboBox { padding: 0px 0px 0px 2px; } QComboBox::drop-down { width: 10px; }");
  }
  combo.setRowObserver([box](RowChange change) { box->follow(change); });
  QObject::connect(box, QOverload<int>::of(&QComboBox::activated), box,
                   [&combo](int index) { step([&] { combo.userChoseRow(index); }); });
  return {box, [box] { box->showModel(); }};
}

ControlWidget widgetFor(ListBox& model, QWidget* parent) {
  auto* list = new QListView(parent);
  auto* rows = new RowListModel(model, list);
  list->setModel(rows);
  // Rows of one height are laid out without asking each row for its size.
  list->setUniformItemSizes(true);
  model.setRowObserver([rows](RowChange change) { rows->follow(change); });
  QObject::connect(list, &QListView::clicked, list, [&model](const QModelIndex& index) {
    step([&] { model.userChoseRow(index.row()); });
  });
  return {list, {}};
}

ControlWidget multiLineField(TextBox& text, QWidget* parent) {
  auto* edit = new QPlainTextEdit(parent);
  // The program rewrites the field all the time; an undo history would only keep every
  // address ever inserted.
  edit->setUndoRedoEnabled(false);
  QObject::connect(edit, &QPlainTextEdit::textChanged, edit, [edit, &text] {
    step([&] { text.setText(edit->toPlainText().toStdString()); });
  });
  // The log of played addresses grows at its start with every station. Inserting only what is
  // new, instead of laying out the whole log again, keeps each switch from leaving ever larger
  // copies behind in the allocator. The length tells whether the field still holds what was
  // last shown: the user may have typed into it.
  struct Shown {
    std::string text;
    int length = 1;  // an empty document holds one character
  };
  return {edit, [edit, &text, shown = std::make_shared<Shown>()] {
            const QSignalBlocker block(edit);
            QTextDocument& document = *edit->document();
            const std::string& wanted = text.text();
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
          }};
}

ControlWidget widgetFor(TextBox& text, QWidget* parent) {
  if (text.multiLine) return multiLineField(text, parent);
  auto* edit = new QLineEdit(parent);
  QObject::connect(edit, &QLineEdit::textEdited, edit, [&text](const QString& value) {
    step([&] { text.setText(value.toStdString()); });
  });
  return {edit, [edit, &text] {
            if (edit->text().toStdString() != text.text()) edit->setText(qs(text.text()));
          }};
}

ControlWidget widgetFor(CheckBox& check, QWidget* parent) {
  auto* box = new QCheckBox(parent);
  box->setAutoFillBackground(true);
  QObject::connect(box, &QCheckBox::clicked, box,
                   [&check](bool on) { step([&] { check.userToggled(on); }); });
  return {box, [box, &check] {
            box->setText(qs(check.caption()));
            box->setChecked(check.checked());
          }};
}

ControlWidget widgetFor(Button& button, QWidget* parent) {
  auto* push = new QPushButton(parent);
  QObject::connect(push, &QPushButton::clicked, push,
                   [&button] { step([&] { button.userClicked(); }); });
  return {push, [push, &button] { push->setText(qs(button.caption())); }};
}

ControlWidget badge(Label& label, QWidget* parent) {
  auto* view = new QLabel(parent);
  view->setAlignment(Qt::AlignCenter);
  view->setStyleSheet(
      "background-color: #d00000; color: white; font-weight: bold; border-radius: 3px;");
  view->setAttribute(Qt::WA_TransparentForMouseEvents);
  return {view, [view, &label] {
            view->setText(qs(label.caption()));
            // The players' pictures come and go in windows of their own: the mark goes back on
            // top whenever it changes.
            if (label.visible()) view->raise();
          }};
}

ControlWidget widgetFor(Label& label, QWidget* parent) {
  if (label.badge) return badge(label, parent);
  auto* view = new Clickable<QLabel>(label, parent);
  view->setWordWrap(true);
  view->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  // The red hint holds two lines in a box sized for the toolkit's small default font.
  if (label.redText) view->setStyleSheet("color: red; font-size: 11px;");
  view->setAutoFillBackground(true);
  return {view, [view, &label] {
            view->setText(qs(label.caption()));
            // Over the video a label is a window of its own; an empty one would only cover the
            // picture with an opaque box. It stays clickable: the window routes clicks in its
            // area to it.
            if (label.caption().empty()) view->hide();
          }};
}

ControlWidget widgetFor(Frame& frame, QWidget* parent) {
  auto* view = new Clickable<QFrame>(frame, parent);
  view->setFrameShape(QFrame::StyledPanel);
  return {view, {}};
}

ControlWidget hostArea(QWidget* parent) {
  auto* area = new QWidget(parent);
  area->setAutoFillBackground(true);
  QPalette palette = area->palette();
  palette.setColor(QPalette::Window, Qt::black);
  area->setPalette(palette);
  auto* layout = new QVBoxLayout(area);
  layout->setContentsMargins(0, 0, 0, 0);
  return {area, {}};
}

template <class Model>
bool makeAs(Control& control, QWidget* parent, ControlWidget& made) {
  auto* model = dynamic_cast<Model*>(&control);
  if (model) made = widgetFor(*model, parent);
  return model != nullptr;
}

// The widget of the first of Models that control is.
template <class... Models>
ControlWidget makeFirstOf(Control& control, QWidget* parent) {
  ControlWidget made;
  if (!(makeAs<Models>(control, parent, made) || ...)) made = hostArea(parent);
  return made;
}

}  // namespace

ControlWidget makeControlWidget(Control& control, QWidget* parent) {
  return makeFirstOf<ComboBox, ListBox, TextBox, CheckBox, Button, Label, Frame>(control, parent);
}

}  // namespace zelvo
