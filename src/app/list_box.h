#pragma once

#include <cstddef>
#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/controls.h"

namespace quillmere {

// A single-selection list of entries, row 0 at the top. Entries are kept as the bytes read
// from a list file and decoded only when shown, copied or opened. Inserting at the top costs
// O(1), whatever the list already holds.
class ListBox : public Control {
public:
    ListBox(ControlId id, Geometry geometry, ViewLink& link);

    std::size_t count() const { return entries_.size(); }
    std::string_view entry(std::size_t row) const { return entries_[row]; }

    // Removes every entry; no selection remains.
    void clear();
    // Inserts at `position` (0 is the top); later entries move down by one. Raises no Click.
    void insert(std::string_view text, std::size_t position);

    // The selected entry as UTF-8 text, or an empty text when none is selected.
    std::string text() const;
    std::optional<std::size_t> selectedRow() const { return selected_; }
    // Records the row the user selected. The view already shows it, so nothing is announced.
    void setSelectedRow(std::optional<std::size_t> row);

    // While a Batch lives, entries inserted at the top are held back and announced to the view
    // in one go by commit(). A file read runs without letting events run, so nothing can observe
    // the delay; a view told a million times would take a minute. A batch given up without a
    // commit (the read failed) drops what it held back.
    class Batch {
    public:
        explicit Batch(ListBox& list);
        ~Batch();
        // Adds the held-back entries. Throws when it cannot, memory running out included.
        void commit();
        Batch(const Batch&) = delete;
        Batch& operator=(const Batch&) = delete;

    private:
        ListBox& list_;
    };

private:
    std::string_view store(std::string_view text);
    void announce(ListChange change, bool before) const;
    void flushPending();
    void dropPending() noexcept;

    std::deque<std::string_view> entries_;
    std::vector<std::unique_ptr<char[]>> blocks_; // storage the entries point into
    char* cursor_ = nullptr;                      // free space in the last block
    std::size_t blockFree_ = 0;
    std::optional<std::size_t> selected_;
    bool batching_ = false;
    std::vector<std::string_view> pending_; // in insertion order: the last one ends on top
};

} // namespace quillmere
