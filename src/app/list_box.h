#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/controls.h"
#include "base/text_stream.h"

namespace quillmere {

// A single-selection list of entries, row 0 at the top. The list keeps each file it read as it
// was read, with the index of its lines, and finds a row's entry from them: no line is copied
// and none allocated. Entries are decoded only when shown, copied or opened.
class ListBox : public Control {
public:
    ListBox(ControlId id, Geometry geometry, ViewLink& link);

    std::size_t count() const { return count_; }
    std::string_view entry(std::size_t row) const;

    // Removes every entry, and lets go of the files they came from; no selection remains.
    void clear();
    // Inserts at `position` (0 is the top); later entries move down by one. Raises no Click.
    void insert(std::string_view text, std::size_t position);
    // Inserts every line at the top, one after the other, as a reader going through the file
    // would: the file's last line ends on top. The view is told once.
    void insertLinesAtTop(std::shared_ptr<const TextLines> lines);

    // The selected entry as UTF-8 text, or an empty text when none is selected.
    std::string text() const;
    std::optional<std::size_t> selectedRow() const { return selected_; }
    // Records the row the user selected. The view already shows it, so nothing is announced.
    void setSelectedRow(std::optional<std::size_t> row);

private:
    // A run of consecutive lines of one file, shown bottom-up: its line `first + count - 1` is
    // the run's top row.
    struct Run {
        std::shared_ptr<const TextLines> lines;
        std::size_t first = 0;
        std::size_t count = 0;
    };

    void announce(ListChange change, bool before) const;
    void insertRun(Run run, std::size_t position);

    std::vector<Run> runs_; // from the top
    std::size_t count_ = 0;
    std::optional<std::size_t> selected_;
};

} // namespace quillmere
