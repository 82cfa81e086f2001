#include "view/accessible_controls.h"

#include "app/list_box.h"
#include "view/click_label.h"
#include "view/list_box_view.h"

namespace quillmere {

AccessibleClickLabel::AccessibleClickLabel(ClickLabel* label) : QAccessibleWidget(label, label->accessibleRole())
{
}

QString AccessibleClickLabel::text(QAccessible::Text t) const
{
    const auto* label = static_cast<const ClickLabel*>(widget());
    switch (t) {
    case QAccessible::Name: return label->accessibleName().isEmpty() ? label->text() : label->accessibleName();
    case QAccessible::Description: return {}; // the name already says what the tooltip says
    default: return QAccessibleWidget::text(t);
    }
}

QStringList AccessibleClickLabel::actionNames() const
{
    return {pressAction()};
}

void AccessibleClickLabel::doAction(const QString& actionName)
{
    if (actionName == pressAction())
        static_cast<ClickLabel*>(widget())->click();
}

namespace {

// One entry of a list box.
class AccessibleListItem : public QAccessibleInterface {
public:
    AccessibleListItem(ListBoxView* view, int row) : view_(view), row_(row) {}

    bool isValid() const override { return view_ && row_ < int(view_->list().count()); }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return view_ ? view_->window()->windowHandle() : nullptr; }
    QAccessibleInterface* parent() const override { return QAccessible::queryAccessibleInterface(view_); }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QString text(QAccessible::Text t) const override
    {
        return t == QAccessible::Name && isValid() ? view_->rowText(row_) : QString();
    }
    void setText(QAccessible::Text, const QString&) override {}
    QRect rect() const override
    {
        if (!isValid())
            return {};
        const QRect local = view_->rowRect(row_);
        return {view_->viewport()->mapToGlobal(local.topLeft()), local.size()};
    }
    QAccessible::Role role() const override { return QAccessible::ListItem; }
    QAccessible::State state() const override
    {
        QAccessible::State s;
        s.selectable = true;
        s.focusable = true;
        const auto selected = view_ ? view_->list().selectedRow() : std::nullopt;
        s.selected = selected && *selected == std::size_t(row_);
        s.focused = s.selected && view_->hasFocus();
        const QRect shown = view_ ? view_->viewport()->rect() : QRect();
        s.invisible = !shown.intersects(view_ ? view_->rowRect(row_) : QRect());
        return s;
    }
    int row() const { return row_; }

private:
    QPointer<ListBoxView> view_;
    int row_;
};

} // namespace

AccessibleListBox::AccessibleListBox(ListBoxView* view) : QAccessibleWidget(view, QAccessible::List)
{
}

AccessibleListBox::~AccessibleListBox()
{
    forgetItems();
}

ListBoxView* AccessibleListBox::view() const
{
    return static_cast<ListBoxView*>(widget());
}

int AccessibleListBox::childCount() const
{
    return int(std::min<std::size_t>(view()->list().count(), INT_MAX));
}

QAccessibleInterface* AccessibleListBox::child(int index) const
{
    if (index < 0 || index >= childCount())
        return nullptr;
    auto found = items_.find(index);
    if (found == items_.end())
        found = items_.emplace(index, QAccessible::registerAccessibleInterface(new AccessibleListItem(view(), index)))
                    .first;
    return QAccessible::accessibleInterface(found->second);
}

int AccessibleListBox::indexOfChild(const QAccessibleInterface* child) const
{
    if (!child || child->role() != QAccessible::ListItem || child->parent() != this)
        return -1;
    return static_cast<const AccessibleListItem*>(child)->row();
}

QAccessibleInterface* AccessibleListBox::childAt(int x, int y) const
{
    return child(view()->rowAt(view()->viewport()->mapFromGlobal(QPoint(x, y))));
}

QAccessibleInterface* AccessibleListBox::focusChild() const
{
    const auto selected = view()->list().selectedRow();
    return selected && view()->hasFocus() ? child(int(*selected)) : nullptr;
}

void AccessibleListBox::forgetItems()
{
    for (const auto& [row, id] : items_)
        QAccessible::deleteAccessibleInterface(id);
    items_.clear();
}

QAccessibleInterface* accessibleControl(const QString&, QObject* object)
{
    if (auto* view = qobject_cast<ListBoxView*>(object))
        return new AccessibleListBox(view);
    auto* label = qobject_cast<ClickLabel*>(object);
    if (!label || label->accessibleRole() == QAccessible::NoRole)
        return nullptr;
    return new AccessibleClickLabel(label);
}

void notifyAccessibleRowsChanged(ListBoxView* view)
{
    if (auto* list = dynamic_cast<AccessibleListBox*>(QAccessible::queryAccessibleInterface(view)))
        list->forgetItems();
    QAccessibleEvent changed(view, QAccessible::ObjectReorder);
    QAccessible::updateAccessibility(&changed);
}

void notifyAccessibleRowPicked(ListBoxView* view, int row)
{
    QAccessibleInterface* item = QAccessible::queryAccessibleInterface(view)->child(row);
    if (!item)
        return;
    QAccessibleEvent selected(item, QAccessible::Selection);
    QAccessible::updateAccessibility(&selected);
    if (view->hasFocus()) {
        QAccessibleEvent focused(item, QAccessible::Focus);
        QAccessible::updateAccessibility(&focused);
    }
}

} // namespace quillmere
