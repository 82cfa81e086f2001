#pragma once

#include <QAbstractListModel>

#include "app/control_id.h"

namespace quillmere {

class ListBox;

// Presents a ListBox to a QListView without copying it: rows are decoded when they are drawn,
// and every row has the same height, so a view with uniform item sizes never asks for more
// than the rows it shows.
class ListBoxModel : public QAbstractListModel {
    Q_OBJECT
public:
    ListBoxModel(const ListBox& list, int rowHeight, QObject* parent);

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;

    void aboutToChange(const ListChange& change);
    void changed(const ListChange& change);

private:
    const ListBox& list_;
    int rowHeight_;
};

} // namespace quillmere
