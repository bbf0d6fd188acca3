// The station window's tree as a Qt item model: groups at the top, their stations below, read
// where the model keeps them, so 32,767 stations cost no widget and no copy per keystroke.
#pragma once

#include <QAbstractItemModel>
#include <functional>
#include <vector>

#include "platform/StationView.h"

namespace zelvo {

class StationTreeModel : public QAbstractItemModel {
 public:
  explicit StationTreeModel(QObject* parent) : QAbstractItemModel(parent) {}

  void setStations(std::vector<StationLabel> stations);
  void setGroups(const std::vector<StationGroup>& groups);

  // The group and row of a station's index; false for a group's own index.
  static bool isStation(const QModelIndex& index) { return index.isValid() && index.internalId(); }
  static int groupOf(const QModelIndex& index) {
    return isStation(index) ? static_cast<int>(index.internalId()) - 1 : index.row();
  }
  const StationLabel* label(const QModelIndex& index) const;
  // The station under the group titled group with the label's name and favourite mark: the one at
  // row while it still is, else the first; invalid when there is none. For a choice made while
  // the tree may have been rebuilt.
  QModelIndex findStation(const std::string& group, const StationLabel& station, int row) const;

  // A station of a reorderable group dropped at a row of it: from, and the row it ends up at.
  std::function<void(int from, int to)> onMoved;

  QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
  QModelIndex parent(const QModelIndex& child) const override;
  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;
  Qt::DropActions supportedDropActions() const override { return Qt::MoveAction; }
  QStringList mimeTypes() const override;
  QMimeData* mimeData(const QModelIndexList& indexes) const override;
  bool dropMimeData(const QMimeData* data, Qt::DropAction action, int row, int column,
                    const QModelIndex& parent) override;

 private:
  std::vector<StationLabel> stations_;
  std::vector<StationGroup> groups_;
};

}  // namespace zelvo
