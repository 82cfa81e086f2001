#include "app/list_box.h"

#include <algorithm>

#include "app/text_encoding.h"

namespace quillmere {

ListBox::ListBox(ControlId id, Geometry geometry, ViewLink& link) : Control(id, geometry, link)
{
}

std::string_view ListBox::entry(std::size_t row) const
{
    for (const Run& run : runs_) {
        if (row < run.count)
            return run.lines->line(run.first + run.count - 1 - row);
        row -= run.count;
    }
    return {};
}

void ListBox::clear()
{
    const ListChange change{ListChange::Kind::Cleared, 0, count_};
    announce(change, true);
    runs_ = {};
    count_ = 0;
    selected_.reset();
    announce(change, false);
}

void ListBox::insert(std::string_view text, std::size_t position)
{
    TextStream one{Bytes(std::string(text) + '\n')};
    insertRun({one.readRemainingLines(), 0, 1}, std::min(position, count_));
}

void ListBox::insertLinesAtTop(std::shared_ptr<const TextLines> lines)
{
    const std::size_t count = lines->count();
    if (count > 0)
        insertRun({std::move(lines), 0, count}, 0);
}

void ListBox::insertRun(Run run, std::size_t position)
{
    const ListChange change{ListChange::Kind::Inserted, position, run.count};
    announce(change, true);
    // Find the run the position falls in, and split it there when it falls inside.
    auto at = runs_.begin();
    std::size_t row = 0;
    while (at != runs_.end() && row + at->count <= position) {
        row += at->count;
        ++at;
    }
    if (at != runs_.end() && position > row) {
        const std::size_t above = position - row; // rows of the run above the new one
        Run below = *at;
        below.count = at->count - above; // its lower lines
        at->first += below.count;
        at->count = above;
        at = runs_.insert(at + 1, std::move(below));
    }
    const std::size_t inserted = run.count;
    runs_.insert(at, std::move(run));
    count_ += inserted;
    if (selected_ && *selected_ >= position)
        *selected_ += inserted;
    announce(change, false);
}

std::string ListBox::text() const
{
    return selected_ ? toUtf8(entry(*selected_)) : std::string();
}

void ListBox::setSelectedRow(std::optional<std::size_t> row)
{
    selected_ = row && *row < count_ ? row : std::nullopt;
}

void ListBox::announce(ListChange change, bool before) const
{
    if (!link().view)
        return;
    if (before)
        link().view->listAboutToChange(id(), change);
    else
        link().view->listChanged(id(), change);
}

} // namespace quillmere
