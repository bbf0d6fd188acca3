// The station window drawn with Qt Widgets: a tool window beside its owner with the search box
// above the tree of groups and stations and a status line below them.
#pragma once

#include <QPointer>
#include <QWidget>

#include "platform/StationView.h"

class QLabel;
class QLineEdit;
class QModelIndex;
class QTreeView;

namespace zelvo {

class StationTreeModel;

class QtStationView : public QWidget, public StationView {
  Q_OBJECT
 public:
  explicit QtStationView(QWidget* owner = nullptr);
  // The window it shows beside, and above.
  void setOwner(QWidget* owner) { owner_ = owner; }

  void setSearchText(const std::string& text) override;
  void setStations(std::vector<StationLabel> stations) override;
  void setGroups(const std::vector<StationGroup>& groups) override;
  void setStatus(const std::string& text) override;
  void show() override;
  void hide() override;
  bool visible() const override;
  WindowPlace place() const override;
  void setPlace(const WindowPlace& place) override;

  QLineEdit* searchBox() const { return search_; }
  QTreeView* tree() const { return tree_; }
  QLabel* status() const { return status_; }
  StationTreeModel* model() const { return model_; }

 protected:
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QModelIndex firstStation() const;
  QModelIndex currentOrFirst() const;
  void activate(const QModelIndex& index);
  void toggle(const QModelIndex& index);
  void showMenu(const QPoint& at);

  QPointer<QWidget> owner_;
  QLineEdit* search_;
  QTreeView* tree_;
  StationTreeModel* model_;
  QLabel* status_;
  bool placed_ = false;
};

}  // namespace zelvo
