// A list model's rows as a Qt item model for the drop-down lists and the list box: the widgets
// read the rows where the model keeps them, so a list of 32,767 stations is held only once.
#pragma once

#include <QAbstractListModel>

#include "platform/ComboBox.h"

namespace zelvo {

class RowListModel : public QAbstractListModel {
 public:
  RowListModel(const RowList& rows, QObject* parent);

  int rowCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;

  // Tells the views of a change the list has made, right after it made it.
  void follow(RowChange change);

 private:
  const RowList& rows_;
  int shown_;  // the rows the views know of
};

}  // namespace zelvo
