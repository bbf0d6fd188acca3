#include "platform/qt/StationTreeModel.h"

#include <QFont>
#include <QMimeData>
#include <algorithm>

#include "platform/qt/QtText.h"

namespace zelvo {

namespace {

constexpr const char* kRowMime = "application/x-zelvo-station-row";

}  // namespace

void StationTreeModel::setStations(std::vector<StationLabel> stations) {
  beginResetModel();
  stations_ = std::move(stations);
  groups_.clear();
  endResetModel();
}

void StationTreeModel::setGroups(const std::vector<StationGroup>& groups) {
  beginResetModel();
  groups_ = groups;
  endResetModel();
}

const StationLabel* StationTreeModel::label(const QModelIndex& index) const {
  if (!isStation(index)) return nullptr;
  const std::vector<int>& members = groups_[groupOf(index)].stations;
  const int station = members[static_cast<size_t>(index.row())];
  return station >= 0 && station < static_cast<int>(stations_.size()) ? &stations_[station]
                                                                      : nullptr;
}

QModelIndex StationTreeModel::findStation(const std::string& group, const StationLabel& station,
                                          int row) const {
  const auto same = [&](const QModelIndex& at) {
    const StationLabel* found = label(at);
    return found && found->name == station.name && found->favourite == station.favourite;
  };
  for (size_t g = 0; g < groups_.size(); ++g) {
    if (groups_[g].title != group) continue;
    const QModelIndex parent = index(static_cast<int>(g), 0);
    if (const QModelIndex at = index(row, 0, parent); same(at)) return at;
    for (int r = 0; r < rowCount(parent); ++r)
      if (const QModelIndex at = index(r, 0, parent); same(at)) return at;
  }
  return {};
}

QModelIndex StationTreeModel::index(int row, int column, const QModelIndex& parent) const {
  if (!hasIndex(row, column, parent)) return {};
  if (!parent.isValid()) return createIndex(row, column, quintptr{0});
  return createIndex(row, column, static_cast<quintptr>(parent.row() + 1));
}

QModelIndex StationTreeModel::parent(const QModelIndex& child) const {
  if (!isStation(child)) return {};
  return createIndex(groupOf(child), 0, quintptr{0});
}

int StationTreeModel::rowCount(const QModelIndex& parent) const {
  if (!parent.isValid()) return static_cast<int>(groups_.size());
  if (isStation(parent) || parent.column() != 0) return 0;
  return static_cast<int>(groups_[static_cast<size_t>(parent.row())].stations.size());
}

int StationTreeModel::columnCount(const QModelIndex&) const { return 2; }

QVariant StationTreeModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid()) return {};
  if (!isStation(index)) {
    const StationGroup& group = groups_[static_cast<size_t>(index.row())];
    if (role == Qt::DisplayRole)
      return index.column() == 0 ? qs(group.title)
                                 : QStringLiteral("%1 个").arg(group.stations.size());
    if (role == Qt::FontRole) {
      QFont bold;
      bold.setBold(true);
      return bold;
    }
    return {};
  }
  const StationLabel* station = label(index);
  if (!station) return {};
  if (role == Qt::DisplayRole) return qs(index.column() == 0 ? station->name : station->nowNext);
  if (role == Qt::ToolTipRole)
    return station->nowNext.empty() ? qs(station->name)
                                    : qs(station->name) + "\n" + qs(station->nowNext);
  return {};
}

QVariant StationTreeModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
  return section == 0 ? QStringLiteral("频道") : QStringLiteral("节目");
}

Qt::ItemFlags StationTreeModel::flags(const QModelIndex& index) const {
  if (!index.isValid()) return Qt::NoItemFlags;
  const bool reorderable = groups_[static_cast<size_t>(groupOf(index))].reorderable;
  Qt::ItemFlags flags = Qt::ItemIsEnabled;
  if (isStation(index)) flags |= Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
  if (reorderable) flags |= Qt::ItemIsDropEnabled;
  if (reorderable && isStation(index)) flags |= Qt::ItemIsDragEnabled;
  return flags;
}

QStringList StationTreeModel::mimeTypes() const { return {kRowMime}; }

QMimeData* StationTreeModel::mimeData(const QModelIndexList& indexes) const {
  if (indexes.isEmpty() || !isStation(indexes.front())) return nullptr;
  auto* data = new QMimeData;
  const QModelIndex& dragged = indexes.front();
  data->setData(kRowMime,
                QByteArray::number(groupOf(dragged)) + "," + QByteArray::number(dragged.row()));
  return data;
}

bool StationTreeModel::dropMimeData(const QMimeData* data, Qt::DropAction, int row, int,
                                    const QModelIndex& parent) {
  if (!data || !data->hasFormat(kRowMime) || !parent.isValid()) return false;
  const QList<QByteArray> parts = data->data(kRowMime).split(',');
  if (parts.size() != 2) return false;
  const int group = parts[0].toInt();
  const int from = parts[1].toInt();
  if (groupOf(parent) != group || !groups_[static_cast<size_t>(group)].reorderable) return false;
  const int count = static_cast<int>(groups_[static_cast<size_t>(group)].stations.size());
  // Dropped on a station: it takes that station's place. Between rows: it goes before row, which
  // is one place less once it has left its own place above.
  int to = isStation(parent) ? parent.row() : row < 0 ? count - 1 : row > from ? row - 1 : row;
  to = std::clamp(to, 0, count - 1);
  if (from < 0 || from >= count || to == from) return false;
  if (onMoved) onMoved(from, to);
  // The list itself is rebuilt by its owner; nothing is moved or removed here.
  return false;
}

}  // namespace zelvo
