#include "view/list_box_view.h"

#include <algorithm>
#include <climits>

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyle>

#include "app/list_box.h"
#include "app/text_encoding.h"
#include "toolkit/clicks.h"
#include "view/accessible_controls.h"

namespace quillmere {

namespace {

// A row shows a few dozen characters; laying out a ten-megabyte line at every paint would
// freeze the window. The entry itself keeps every byte.
constexpr std::size_t kShownBytes = 4096;

} // namespace

ListBoxView::ListBoxView(const ListBox& list, int rowHeight, QWidget* parent)
    : QAbstractScrollArea(parent), list_(list), rowHeight_(rowHeight)
{
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    verticalScrollBar()->setSingleStep(1);
    viewport()->setBackgroundRole(QPalette::Base);
    viewport()->setAutoFillBackground(true);
    dragScroll_.setInterval(50);
    connect(&dragScroll_, &QTimer::timeout, this, &ListBoxView::dragStep);
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
    const std::string_view entry = list_.entry(static_cast<std::size_t>(row));
    return QString::fromStdString(toUtf8Prefix(entry, kShownBytes, isUtf8(entry)));
}

bool ListBoxView::isUtf8(std::string_view entry) const
{
    if (entry.size() <= kShownBytes)
        return isValidUtf8(entry);
    const auto [known, added] = longEntryIsUtf8_.try_emplace(entry.data());
    if (added)
        known->second = isValidUtf8(entry);
    return known->second;
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
    longEntryIsUtf8_.clear();
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
    }
    // The focus mark, drawn here since styles may draw none: a dotted frame around the
    // selected row, or around the whole list while nothing is selected.
    if (hasFocus()) {
        painter.setPen(QPen(palette().color(selected ? QPalette::HighlightedText : QPalette::Text), 1, Qt::DotLine));
        painter.drawRect((selected ? rowRect(int(*selected)) : viewport()->rect()).adjusted(0, 0, -1, -1));
    }
}

void ListBoxView::mousePressEvent(QMouseEvent* event)
{
    // Only the left button picks, as only it can raise a Click; the second press of a double
    // click is part of the double click.
    if (toolkit::startsClick(*event))
        pick(rowAt(event->position().toPoint()));
    setFocus(Qt::MouseFocusReason);
    event->accept();
}

void ListBoxView::mouseMoveEvent(QMouseEvent* event)
{
    // Dragging with the button down moves the selection along, as list boxes do; held above
    // or below the rows, it goes on a row at a time, also while the pointer rests.
    if (!(event->buttons() & Qt::LeftButton))
        return;
    const int y = event->position().toPoint().y();
    dragDirection_ = y < 0 ? -1 : y >= viewport()->height() ? 1 : 0;
    if (dragDirection_ != 0) {
        if (!dragScroll_.isActive()) {
            dragStep();
            dragScroll_.start();
        }
        return;
    }
    dragScroll_.stop();
    const int row = rowAt(event->position().toPoint());
    const auto selected = list_.selectedRow();
    if (row >= 0 && (!selected || *selected != static_cast<std::size_t>(row)))
        pick(row);
}

void ListBoxView::mouseReleaseEvent(QMouseEvent* event)
{
    dragScroll_.stop();
    QAbstractScrollArea::mouseReleaseEvent(event);
}

void ListBoxView::dragStep()
{
    if (!(QGuiApplication::mouseButtons() & Qt::LeftButton) || rowCount() == 0) { // released unseen, or emptied
        dragScroll_.stop();
        return;
    }
    const auto selected = list_.selectedRow();
    const int from = selected ? static_cast<int>(*selected)
                              : verticalScrollBar()->value() + (dragDirection_ > 0 ? rowsInSight() - 1 : 0);
    const int row = std::clamp(from + dragDirection_, 0, rowCount() - 1);
    if (!selected || row != from)
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
    case Qt::Key_Down:
    case Qt::Key_Right: row = std::min(current + 1, last); break;
    case Qt::Key_Up:
    case Qt::Key_Left: row = std::max(current - 1, 0); break;
    case Qt::Key_PageDown: row = std::min(std::max(current, 0) + rowsInSight() - 1, last); break;
    case Qt::Key_PageUp: row = std::max(current - rowsInSight() + 1, 0); break;
    case Qt::Key_Home: row = 0; break;
    case Qt::Key_End: row = last; break;
    default:
        if (const QString text = event->text();
            !text.isEmpty() && text.at(0).isPrint()
            && !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))) {
            pickStartingWith(text);
            event->accept();
        } else {
            QAbstractScrollArea::keyPressEvent(event);
        }
        return;
    }
    typed_.clear(); // a move of its own starts a new search
    if (row != current)
        pick(row);
    event->accept();
}

void ListBoxView::pickStartingWith(const QString& text)
{
    // Letters typed in quick succession spell the start of an entry; the same letter again
    // goes on to the next entry that starts with it. The search wraps around.
    if (!sinceTyped_.isValid() || sinceTyped_.elapsed() > QApplication::keyboardInputInterval())
        typed_.clear();
    sinceTyped_.start();
    typed_ += text;
    const bool oneLetterAgain = typed_.count(typed_.at(0)) == typed_.size();
    const QString prefix = oneLetterAgain ? typed_.left(1) : typed_;
    const int count = rowCount();
    const auto selected = list_.selectedRow();
    const int current = selected ? static_cast<int>(*selected) : -1;
    const int start = oneLetterAgain || current < 0 ? current + 1 : current;
    for (int i = 0; i < count; ++i) {
        const int row = (start + i) % count;
        if (rowStartsWith(row, prefix)) {
            if (row != current)
                pick(row);
            return;
        }
    }
}

bool ListBoxView::rowStartsWith(int row, const QString& prefix) const
{
    const std::string_view entry = list_.entry(static_cast<std::size_t>(row));
    const auto n = static_cast<std::size_t>(prefix.size());
    // Both encodings read ASCII alike, so an entry that starts with as many ASCII bytes needs
    // no decoding: a search through millions of entries stays quick.
    const bool asciiStart
        = entry.size() >= n && std::all_of(entry.begin(), entry.begin() + n, [](char c) { return (c & 0x80) == 0; });
    const bool asciiPrefix = std::all_of(prefix.begin(), prefix.end(), [](QChar c) { return c.unicode() < 0x80; });
    if (asciiStart && asciiPrefix)
        return QLatin1StringView(entry.substr(0, n)).compare(prefix, Qt::CaseInsensitive) == 0;
    return QString::fromStdString(toUtf8Prefix(entry, 4 * n, isUtf8(entry))).startsWith(prefix, Qt::CaseInsensitive);
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
