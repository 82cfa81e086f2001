#include "view/list_box_view.h"

#include <QMouseEvent>

namespace quillmere {

void ListBoxView::mousePressEvent(QMouseEvent* event)
{
    // Only the left button selects, as only it can raise a Click; the second press of a double
    // click is part of the double click.
    if (event->button() != Qt::LeftButton || event->flags().testFlag(Qt::MouseEventCreatedDoubleClick)) {
        event->accept();
        return;
    }
    pressing_ = true;
    QListView::mousePressEvent(event);
    pressing_ = false;
    const QModelIndex entry = indexAt(event->position().toPoint());
    if (entry.isValid() && selectionModel()->isSelected(entry))
        emit entryPicked(entry.row());
}

void ListBoxView::mouseDoubleClickEvent(QMouseEvent* event)
{
    event->accept();
}

void ListBoxView::selectionChanged(const QItemSelection& selected, const QItemSelection& deselected)
{
    QListView::selectionChanged(selected, deselected);
    // A press reports itself, once, whether or not it changed the selection.
    if (!pressing_ && !selected.isEmpty())
        emit entryPicked(selected.indexes().first().row());
}

} // namespace quillmere
