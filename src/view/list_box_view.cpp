#include "view/list_box_view.h"

#include <algorithm>
#include <climits>

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionFocusRect>

#include "app/list_box.h"
#include "app/text_encoding.h"
#include "view/accessible_controls.h"

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

ListBoxView::ListBoxView(const ListBox& list, int rowHeight, QWidget* parent)
    : QAbstractScrollArea(parent), list_(list), rowHeight_(rowHeight)
{
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    verticalScrollBar()->setSingleStep(1);
    viewport()->setBackgroundRole(QPalette::Base);
    viewport()->setAutoFillBackground(true);
    entriesChanged();
}

int ListBoxView::rowCount() const
{
    return static_cast<int>(std::min<std::size_t>(list_.count(), INT_MAX));
}

int ListBoxView::rowsInSight() const
{
    return std::max(1, viewport()->height() / rowHeight_);
}

QString ListBoxView::rowText(int row) const
{
    return QString::fromStdString(toUtf8(shownPart(list_.entry(static_cast<std::size_t>(row)))));
}

QRect ListBoxView::rowRect(int row) const
{
    return {0, (row - verticalScrollBar()->value()) * rowHeight_, viewport()->width(), rowHeight_};
}

int ListBoxView::rowAt(QPoint point) const
{
    const int row = verticalScrollBar()->value() + point.y() / rowHeight_;
    return point.y() >= 0 && row < rowCount() ? row : -1;
}

void ListBoxView::scrollTo(int row)
{
    QScrollBar* bar = verticalScrollBar();
    if (row < bar->value())
        bar->setValue(row);
    else if (row >= bar->value() + rowsInSight())
        bar->setValue(row - rowsInSight() + 1);
}

void ListBoxView::entriesChanged()
{
    // A whole row at the bottom, as list boxes scroll.
    verticalScrollBar()->setRange(0, std::max(0, rowCount() - rowsInSight()));
    verticalScrollBar()->setPageStep(rowsInSight());
    viewport()->update();
    if (QAccessible::isActive())
        notifyAccessibleRowsChanged(this);
}

void ListBoxView::pick(int row)
{
    if (row < 0 || row >= rowCount())
        return;
    scrollTo(row);
    emit entryPicked(row); // the list records it
    viewport()->update();
    if (QAccessible::isActive())
        notifyAccessibleRowPicked(this, row);
}

void ListBoxView::paintEvent(QPaintEvent*)
{
    QPainter painter(viewport());
    const int first = verticalScrollBar()->value();
    const int last = std::min(rowCount(), first + rowsInSight() + 1);
    const auto selected = list_.selectedRow();
    const int margin = style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, this) + 1;
    for (int row = first; row < last; ++row) {
        const QRect rect = rowRect(row);
        const bool isSelected = selected && *selected == static_cast<std::size_t>(row);
        if (isSelected)
            painter.fillRect(rect,
                             palette().brush(hasFocus() ? QPalette::Active : QPalette::Inactive, QPalette::Highlight));
        painter.setPen(palette().color(isSelected ? QPalette::HighlightedText : QPalette::Text));
        painter.drawText(rect.adjusted(margin, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                         rowText(row));
        if (isSelected && hasFocus()) {
            QStyleOptionFocusRect focus;
            focus.initFrom(this);
            focus.rect = rect;
            focus.backgroundColor = palette().color(QPalette::Highlight);
            style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &painter, this);
        }
    }
}

void ListBoxView::mousePressEvent(QMouseEvent* event)
{
    // Only the left button picks, as only it can raise a Click; the second press of a double
    // click is part of the double click.
    if (event->button() == Qt::LeftButton && !event->flags().testFlag(Qt::MouseEventCreatedDoubleClick))
        pick(rowAt(event->position().toPoint()));
    setFocus(Qt::MouseFocusReason);
    event->accept();
}

void ListBoxView::mouseMoveEvent(QMouseEvent* event)
{
    // Dragging with the button down moves the selection along, as list boxes do.
    if (!(event->buttons() & Qt::LeftButton))
        return;
    const int row = rowAt(event->position().toPoint());
    const auto selected = list_.selectedRow();
    if (row >= 0 && (!selected || *selected != static_cast<std::size_t>(row)))
        pick(row);
}

void ListBoxView::mouseDoubleClickEvent(QMouseEvent* event)
{
    event->accept();
}

void ListBoxView::keyPressEvent(QKeyEvent* event)
{
    const auto selected = list_.selectedRow();
    const int current = selected ? static_cast<int>(*selected) : -1;
    const int last = rowCount() - 1;
    int row;
    switch (event->key()) {
    case Qt::Key_Down: row = std::min(current + 1, last); break;
    case Qt::Key_Up: row = std::max(current - 1, 0); break;
    case Qt::Key_PageDown: row = std::min(std::max(current, 0) + rowsInSight() - 1, last); break;
    case Qt::Key_PageUp: row = std::max(current - rowsInSight() + 1, 0); break;
    case Qt::Key_Home: row = 0; break;
    case Qt::Key_End: row = last; break;
    default: QAbstractScrollArea::keyPressEvent(event); return;
    }
    if (row != current)
        pick(row);
    event->accept();
}

void ListBoxView::resizeEvent(QResizeEvent* event)
{
    QAbstractScrollArea::resizeEvent(event);
    entriesChanged();
}

void ListBoxView::scrollContentsBy(int, int)
{
    viewport()->update();
}

void ListBoxView::focusInEvent(QFocusEvent* event)
{
    QAbstractScrollArea::focusInEvent(event);
    viewport()->update();
}

void ListBoxView::focusOutEvent(QFocusEvent* event)
{
    QAbstractScrollArea::focusOutEvent(event);
    viewport()->update();
}

} // namespace quillmere
