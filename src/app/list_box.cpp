#include "app/list_box.h"

#include <algorithm>
#include <cstring>

#include "app/text_encoding.h"

namespace quillmere {

namespace {
constexpr std::size_t kBlockSize = 256 * 1024;
}

ListBox::ListBox(ControlId id, Geometry geometry, ViewLink& link) : Control(id, geometry, link)
{
}

void ListBox::clear()
{
    flushPending();
    const ListChange change{ListChange::Kind::Cleared, 0, entries_.size()};
    announce(change, true);
    entries_ = {};
    blocks_.clear();
    cursor_ = nullptr;
    blockFree_ = 0;
    selected_.reset();
    announce(change, false);
}

void ListBox::insert(std::string_view text, std::size_t position)
{
    const std::string_view stored = store(text);
    if (batching_ && position == 0) {
        pending_.push_back(stored);
        return;
    }
    flushPending();
    position = std::min(position, entries_.size());
    const ListChange change{ListChange::Kind::Inserted, position, 1};
    announce(change, true);
    entries_.insert(entries_.begin() + static_cast<std::ptrdiff_t>(position), stored);
    if (selected_ && *selected_ >= position)
        ++*selected_;
    announce(change, false);
}

std::string ListBox::text() const
{
    return selected_ ? toUtf8(entries_[*selected_]) : std::string();
}

void ListBox::setSelectedRow(std::optional<std::size_t> row)
{
    selected_ = row && *row < entries_.size() ? row : std::nullopt;
}

std::string_view ListBox::store(std::string_view text)
{
    if (text.empty())
        return {};
    if (text.size() > kBlockSize / 4) { // a long line gets a block of its own
        char* own = blocks_.emplace_back(std::make_unique_for_overwrite<char[]>(text.size())).get();
        std::memcpy(own, text.data(), text.size());
        return {own, text.size()};
    }
    if (blockFree_ < text.size()) {
        cursor_ = blocks_.emplace_back(std::make_unique_for_overwrite<char[]>(kBlockSize)).get();
        blockFree_ = kBlockSize;
    }
    std::memcpy(cursor_, text.data(), text.size());
    const std::string_view stored{cursor_, text.size()};
    cursor_ += text.size();
    blockFree_ -= text.size();
    return stored;
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

void ListBox::flushPending()
{
    if (pending_.empty())
        return;
    const ListChange change{ListChange::Kind::Inserted, 0, pending_.size()};
    announce(change, true);
    entries_.insert(entries_.begin(), pending_.rbegin(), pending_.rend());
    if (selected_)
        *selected_ += pending_.size();
    pending_ = {};
    announce(change, false);
}

void ListBox::dropPending() noexcept
{
    pending_.clear();
}

ListBox::Batch::Batch(ListBox& list) : list_(list)
{
    list_.batching_ = true;
}

ListBox::Batch::~Batch()
{
    list_.batching_ = false;
    list_.dropPending();
}

void ListBox::Batch::commit()
{
    list_.batching_ = false;
    list_.flushPending();
}

} // namespace quillmere
