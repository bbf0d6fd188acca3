#include "platform/qt/RowListModel.h"

namespace zelvo {

RowListModel::RowListModel(const RowList& rows, QObject* parent)
    : QAbstractListModel(parent), rows_(rows), shown_(rows.count()) {}

int RowListModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : shown_;
}

QVariant RowListModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= shown_) return {};
  if (role != Qt::DisplayRole && role != Qt::EditRole) return {};
  return QString::fromStdString(rows_.row(index.row()));
}

void RowListModel::follow(RowChange change) {
  const bool inserted = change.kind == RowChange::Inserted && change.index >= 0 &&
                        change.index <= shown_ && shown_ + 1 == rows_.count();
  const bool removed = change.kind == RowChange::Removed && change.index >= 0 &&
                       change.index < shown_ && shown_ - 1 == rows_.count();
  if (inserted) {
    beginInsertRows({}, change.index, change.index);
    ++shown_;
    endInsertRows();
  } else if (removed) {
    beginRemoveRows({}, change.index, change.index);
    --shown_;
    endRemoveRows();
  } else {
    // Cleared, or a change the views cannot be told of row by row: they read the list anew.
    beginResetModel();
    shown_ = rows_.count();
    endResetModel();
  }
}

}  // namespace zelvo
