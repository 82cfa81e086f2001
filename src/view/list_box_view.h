#pragma once

#include <QListView>

namespace quillmere {

// A list view that tells when the user picks an entry: a click on an entry, also one already
// selected (the other list may hold the selection that counts), or a move of the selection with
// the keyboard. A click below the last entry picks nothing, and so does the second press of a
// double click.
class ListBoxView : public QListView {
    Q_OBJECT
public:
    using QListView::QListView;

signals:
    void entryPicked(int row);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void selectionChanged(const QItemSelection& selected, const QItemSelection& deselected) override;

private:
    bool pressing_ = false;
};

} // namespace quillmere
