#include "platform/qt/QtStationView.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QScreen>
#include <QShortcut>
#include <QTimer>
#include <QTreeView>
#include <QVBoxLayout>

#include "platform/Steps.h"
#include "platform/qt/QtText.h"
#include "platform/qt/StationTreeModel.h"
#include "platform/qt/ToolWindow.h"

namespace zelvo {

namespace {

constexpr const char* kAddFavourite = "加入收藏";
constexpr const char* kRemoveFavourite = "取消收藏";

}  // namespace

QtStationView::QtStationView(QWidget* owner)
    // Not a child of the owner: the main window's view hears every child's keys and clicks as
    // its own. The window system still keeps it above its owner.
    : QWidget(nullptr, Qt::Tool),
      owner_(owner),
      search_(new QLineEdit(this)),
      tree_(new QTreeView(this)),
      model_(new StationTreeModel(this)),
      status_(new QLabel(this)) {
  setObjectName("stationWindow");
  setWindowTitle(QStringLiteral("频道表"));
  resize(360, 560);
  search_->setPlaceholderText(QStringLiteral("名称或拼音首字母，如 zjws"));
  search_->setClearButtonEnabled(true);
  tree_->setModel(model_);
  tree_->setUniformRowHeights(true);
  tree_->setSelectionMode(QAbstractItemView::SingleSelection);
  tree_->setExpandsOnDoubleClick(true);
  tree_->setContextMenuPolicy(Qt::CustomContextMenu);
  tree_->setDragDropMode(QAbstractItemView::InternalMove);
  tree_->setDefaultDropAction(Qt::MoveAction);
  tree_->header()->setSectionResizeMode(0, QHeaderView::Interactive);
  tree_->header()->resizeSection(0, 190);
  tree_->header()->setStretchLastSection(true);
  status_->setWordWrap(true);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(search_);
  layout->addWidget(tree_, 1);
  layout->addWidget(status_);

  search_->installEventFilter(this);
  tree_->installEventFilter(this);
  connect(search_, &QLineEdit::textEdited, this,
          [this](const QString& text) { step([&] { textEdited.raise(text.toStdString()); }); });
  connect(search_, &QLineEdit::returnPressed, this,
          [this] { step([&] { searchAccepted.raise(); }); });
  connect(tree_, &QTreeView::doubleClicked, this, [this](const QModelIndex& at) { activate(at); });
  connect(tree_, &QTreeView::customContextMenuRequested, this, &QtStationView::showMenu);
  auto* favourite = new QShortcut(QKeySequence(QStringLiteral("Ctrl+D")), this);
  favourite->setContext(Qt::WindowShortcut);
  connect(favourite, &QShortcut::activated, this, [this] { toggle(currentOrFirst()); });
  // A drop is answered after the drag has ended: the tree is rebuilt, not moved under the drag.
  model_->onMoved = [this](int from, int to) {
    QTimer::singleShot(0, this,
                       [this, from, to] { step([&] { favouriteMoved.raise(from, to); }); });
  };
}

void QtStationView::setSearchText(const std::string& text) {
  if (search_->text() != qs(text)) search_->setText(qs(text));
}

void QtStationView::setStations(std::vector<StationLabel> stations) {
  model_->setStations(std::move(stations));
}

void QtStationView::setGroups(const std::vector<StationGroup>& groups) {
  model_->setGroups(groups);
  // The tree lays its rows out once, when it next paints: expanding is only noted until then.
  for (int group = 0; group < model_->rowCount(); ++group) tree_->expand(model_->index(group, 0));
}

void QtStationView::setStatus(const std::string& text) { status_->setText(qs(text)); }

void QtStationView::show() {
  // The first time beside the owner, on its left where the screen has room, else on its right;
  // a place kept from the last session wins.
  if (!placed_ && owner_) {
    placed_ = true;
    placeBesideOwner(*this, *owner_, OwnerSide::Left);
  }
  showAboveOwner(*this, owner_);
  search_->setFocus();
  search_->selectAll();
}

void QtStationView::hide() { QWidget::hide(); }

bool QtStationView::visible() const { return isVisible(); }

WindowPlace QtStationView::place() const { return {x(), y(), width(), height()}; }

void QtStationView::setPlace(const WindowPlace& place) {
  placed_ = true;
  // A place off every screen (a monitor unplugged since) is not kept.
  bool onScreen = false;
  for (const QScreen* screen : QGuiApplication::screens())
    onScreen = onScreen || screen->availableGeometry().intersects(
                               QRect(place.x, place.y, place.width, place.height));
  if (onScreen) move(place.x, place.y);
  resize(place.width, place.height);
}

void QtStationView::closeEvent(QCloseEvent* event) {
  QWidget::closeEvent(event);
  step([&] { closed.raise(); });
}

QModelIndex QtStationView::firstStation() const {
  for (int group = 0; group < model_->rowCount(); ++group) {
    const QModelIndex first = model_->index(0, 0, model_->index(group, 0));
    if (first.isValid()) return first;
  }
  return {};
}

QModelIndex QtStationView::currentOrFirst() const {
  const QModelIndex current = tree_->currentIndex();
  return StationTreeModel::isStation(current) ? current : firstStation();
}

bool QtStationView::eventFilter(QObject* watched, QEvent* event) {
  const bool keyPress = event->type() == QEvent::KeyPress;
  if (!keyPress && event->type() != QEvent::ShortcutOverride)
    return QWidget::eventFilter(watched, event);
  const auto* keyEvent = static_cast<QKeyEvent*>(event);
  const int key = keyEvent->key();
  // The search box would take Ctrl+D as its own key: here it toggles the station in the tree,
  // or with none chosen the first one shown (the one Enter plays).
  if (watched == search_ && key == Qt::Key_D && keyEvent->modifiers() == Qt::ControlModifier) {
    event->accept();
    if (keyPress) toggle(currentOrFirst());
    return true;
  }
  if (!keyPress) return QWidget::eventFilter(watched, event);
  if (watched == search_ && key == Qt::Key_Down) {
    // Into the list, on its first station.
    const QModelIndex first = firstStation();
    if (!first.isValid()) return false;
    tree_->setFocus();
    tree_->setCurrentIndex(first);
    return true;
  }
  if (watched == tree_ && (key == Qt::Key_Return || key == Qt::Key_Enter) &&
      StationTreeModel::isStation(tree_->currentIndex())) {
    activate(tree_->currentIndex());
    return true;
  }
  return QWidget::eventFilter(watched, event);
}

void QtStationView::activate(const QModelIndex& index) {
  if (!StationTreeModel::isStation(index)) return;
  const int group = StationTreeModel::groupOf(index);
  const int row = index.row();
  step([&] { stationActivated.raise(group, row); });
}

void QtStationView::toggle(const QModelIndex& index) {
  if (!StationTreeModel::isStation(index)) return;
  const int group = StationTreeModel::groupOf(index);
  const int row = index.row();
  step([&] { favouriteToggled.raise(group, row); });
}

void QtStationView::showMenu(const QPoint& at) {
  const QModelIndex index = tree_->indexAt(at);
  const StationLabel* station = model_->label(index);
  if (!station) return;
  QMenu menu(this);
  QAction* favourite = menu.addAction(qs(station->favourite ? kRemoveFavourite : kAddFavourite));
  favourite->setShortcut(QKeySequence(QStringLiteral("Ctrl+D")));
  // The menu lets events run: the tree may be rebuilt meanwhile, and the station have moved. It
  // is found again by its group, its name and the mark the entry was offered for.
  const std::string group =
      model_->index(StationTreeModel::groupOf(index), 0).data().toString().toStdString();
  const StationLabel chosen = *station;
  const int row = index.row();
  if (menu.exec(tree_->viewport()->mapToGlobal(at)) == favourite)
    toggle(model_->findStation(group, chosen, row));
}

}  // namespace zelvo
