#pragma once

#include <unordered_map>

#include <QAbstractScrollArea>
#include <QElapsedTimer>
#include <QTimer>

namespace quillmere {

class ListBox;

// A list box on screen: the rows of a ListBox, one entry a row of a fixed height, scrolled a row
// at a time. It draws only the rows in sight, straight from the list, and keeps nothing per
// row, so a list of ten million entries costs it no more than one of ten.
// The user picks an entry with a click on it (also one already selected: the other list may
// hold the selection that counts), by dragging over the entries, or from the keyboard: the
// arrow keys, a page or either end, or the first letters of an entry typed in a row. A click
// below the last entry picks nothing, and so does the second press of a double click.
class ListBoxView : public QAbstractScrollArea {
    Q_OBJECT
public:
    ListBoxView(const ListBox& list, int rowHeight, QWidget* parent);

    const ListBox& list() const { return list_; }
    int rowHeight() const { return rowHeight_; }
    // The entry as shown: the beginning of the text Copy gives, from at most its first 4096
    // bytes.
    QString rowText(int row) const;
    // Where a row is drawn, in the viewport's coordinates.
    QRect rowRect(int row) const;
    int rowAt(QPoint viewportPoint) const;
    void scrollTo(int row);

    // The list's entries changed: the scroll range follows, and what is in sight is redrawn.
    void entriesChanged();

signals:
    void entryPicked(int row);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    int rowCount() const;
    int rowsInSight() const;
    void pick(int row);
    void pickStartingWith(const QString& typed);
    bool rowStartsWith(int row, const QString& prefix) const;
    bool isUtf8(std::string_view entry) const;
    void dragStep();

    const ListBox& list_;
    int rowHeight_;
    // Whether each long entry drawn so far is UTF-8, by where its bytes are: a row of
    // megabytes is looked through once, not at every paint. Emptied whenever the entries change.
    mutable std::unordered_map<const char*, bool> longEntryIsUtf8_;
    QString typed_; // the letters typed in a row, to find an entry by
    QElapsedTimer sinceTyped_;
    QTimer dragScroll_; // steps the selection while a drag is held above or below the rows
    int dragDirection_ = 0;
};

} // namespace quillmere
