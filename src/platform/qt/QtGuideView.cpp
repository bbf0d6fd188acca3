#include "platform/qt/QtGuideView.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPixmap>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "platform/Steps.h"
#include "platform/qt/QtText.h"
#include "platform/qt/ToolWindow.h"

namespace zelvo {

namespace {

constexpr int kLogoHeight = 40;

}  // namespace

QtGuideView::QtGuideView(QWidget* owner)
    // Not a child of the owner: the main window's view hears every child's keys and clicks as
    // its own. The window system still keeps it above its owner.
    : QWidget(nullptr, Qt::Tool),
      owner_(owner),
      logo_(new QLabel(this)),
      days_(new QComboBox(this)),
      list_(new QTreeWidget(this)),
      status_(new QLabel(this)) {
  setObjectName("guideWindow");
  resize(380, 520);
  logo_->setFixedHeight(kLogoHeight);
  logo_->setMinimumWidth(kLogoHeight);
  logo_->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  days_->setSizeAdjustPolicy(QComboBox::AdjustToContents);
  list_->setColumnCount(2);
  list_->setHeaderLabels({"时间", "节目"});
  list_->setRootIsDecorated(false);
  list_->setUniformRowHeights(true);
  list_->setSelectionMode(QAbstractItemView::SingleSelection);
  list_->header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
  list_->header()->setStretchLastSection(true);
  status_->setWordWrap(true);

  auto* top = new QHBoxLayout;
  top->addWidget(logo_);
  top->addStretch();
  top->addWidget(days_);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top);
  layout->addWidget(list_, 1);
  layout->addWidget(status_);

  connect(days_, QOverload<int>::of(&QComboBox::activated), this,
          [this](int index) { step([&] { dayChosen.raise(index); }); });
  connect(list_, &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem* item) {
    const int row = list_->indexOfTopLevelItem(item);
    step([&] { rowActivated.raise(row); });
  });
}

void QtGuideView::setTitle(const std::string& title) { setWindowTitle(qs(title)); }

void QtGuideView::setDays(const std::vector<std::string>& days, int chosen) {
  const QSignalBlocker block(days_);
  days_->clear();
  for (const std::string& day : days) days_->addItem(qs(day));
  days_->setCurrentIndex(chosen);
}

void QtGuideView::setRows(const std::vector<GuideRow>& rows) {
  list_->setUpdatesEnabled(false);
  running_ = nullptr;
  list_->clear();
  QList<QTreeWidgetItem*> items;
  items.reserve(static_cast<qsizetype>(rows.size()));
  QTreeWidgetItem* running = nullptr;
  const QColor unplayable = palette().color(QPalette::Disabled, QPalette::Text);
  for (const GuideRow& row : rows) {
    auto* item = new QTreeWidgetItem({qs(row.time), qs(row.title)});
    if (row.running) {
      running = item;
      QFont bold = item->font(1);
      bold.setBold(true);
      for (int column = 0; column < 2; ++column) {
        item->setFont(column, bold);
        item->setBackground(column, palette().color(QPalette::Highlight).lighter(170));
      }
    } else if (!row.playable) {
      for (int column = 0; column < 2; ++column) item->setForeground(column, unplayable);
    }
    item->setToolTip(1, qs(row.title));
    items.append(item);
  }
  list_->addTopLevelItems(items);
  list_->setUpdatesEnabled(true);
  running_ = running;
  showRunning();
}

void QtGuideView::showRunning() {
  if (running_) list_->scrollToItem(running_, QAbstractItemView::PositionAtCenter);
}

void QtGuideView::setLogo(const std::string& path) {
  QPixmap picture;
  if (!path.empty()) picture.load(qs(path));
  if (picture.isNull()) {
    logo_->clear();
    return;
  }
  logo_->setPixmap(picture.scaledToHeight(kLogoHeight, Qt::SmoothTransformation));
}

void QtGuideView::setStatus(const std::string& text) { status_->setText(qs(text)); }

void QtGuideView::show() {
  // The first time beside the owner, on its right where the screen has room, else on its left.
  if (!placed_ && owner_) {
    placed_ = true;
    placeBesideOwner(*this, *owner_, OwnerSide::Right);
  }
  showAboveOwner(*this, owner_);
  // Rows given while the window was hidden were placed in a list of no size yet.
  showRunning();
}

void QtGuideView::hide() { QWidget::hide(); }

bool QtGuideView::visible() const { return isVisible(); }

void QtGuideView::closeEvent(QCloseEvent* event) {
  QWidget::closeEvent(event);
  step([&] { closed.raise(); });
}

}  // namespace zelvo
