#pragma once

#include <map>

#include <QAccessibleWidget>

namespace quillmere {

class ClickLabel;
class ListBoxView;

// A picture button or the home link as assistive technology meets it: a push button named by
// its tooltip, or a link named by its caption, with a press action that clicks it as the mouse
// does. Qt would present either as a nameless image or as static text.
class AccessibleClickLabel : public QAccessibleWidget {
public:
    explicit AccessibleClickLabel(ClickLabel* label);

    QString text(QAccessible::Text t) const override;
    QStringList actionNames() const override;
    void doAction(const QString& actionName) override;
};

// A list box as assistive technology meets it: a list named by its caption whose items are its
// entries, the selected one selected. Items are made when asked for, never all of them.
class AccessibleListBox : public QAccessibleWidget {
public:
    explicit AccessibleListBox(ListBoxView* view);
    ~AccessibleListBox() override;

    int childCount() const override;
    QAccessibleInterface* child(int index) const override;
    int indexOfChild(const QAccessibleInterface* child) const override;
    QAccessibleInterface* childAt(int x, int y) const override;
    QAccessibleInterface* focusChild() const override;

    ListBoxView* view() const;
    // The entries changed: items handed out before stand for other entries now.
    void forgetItems();

private:
    mutable std::map<int, QAccessible::Id> items_;
};

// For QAccessible::installFactory: the interfaces of the window's own controls.
QAccessibleInterface* accessibleControl(const QString& className, QObject* object);

// Tell assistive technology that a list's entries changed, or that the user picked one.
void notifyAccessibleRowsChanged(ListBoxView* view);
void notifyAccessibleRowPicked(ListBoxView* view, int row);

} // namespace quillmere
