#include "view/list_box_model.h"

#include <QSize>
#include <QString>

#include "app/list_box.h"
#include "app/text_encoding.h"

namespace quillmere {

namespace {
// A row shows a few dozen characters; laying out a ten-megabyte line at every paint would
// freeze the window. The entry itself keeps every byte.
constexpr std::size_t kShownBytes = 4096;

std::string_view shownPart(std::string_view entry)
{
    if (entry.size() <= kShownBytes)
        return entry;
    std::size_t cut = kShownBytes;
    while (cut > 0 && (static_cast<unsigned char>(entry[cut]) & 0xC0) == 0x80) // not inside a character
        --cut;
    return entry.substr(0, cut);
}
} // namespace

ListBoxModel::ListBoxModel(const ListBox& list, int rowHeight, QObject* parent)
    : QAbstractListModel(parent), list_(list), rowHeight_(rowHeight)
{
}

int ListBoxModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(list_.count());
}

QVariant ListBoxModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || static_cast<std::size_t>(index.row()) >= list_.count())
        return {};
    switch (role) {
    case Qt::DisplayRole:
        return QString::fromStdString(toUtf8(shownPart(list_.entry(static_cast<std::size_t>(index.row())))));
    case Qt::SizeHintRole: return QSize(1, rowHeight_);
    default: return {};
    }
}

void ListBoxModel::aboutToChange(const ListChange& change)
{
    if (change.kind == ListChange::Kind::Cleared)
        beginResetModel();
    else
        beginInsertRows({}, static_cast<int>(change.first), static_cast<int>(change.first + change.count - 1));
}

void ListBoxModel::changed(const ListChange& change)
{
    if (change.kind == ListChange::Kind::Cleared)
        endResetModel();
    else
        endInsertRows();
}

} // namespace quillmere
