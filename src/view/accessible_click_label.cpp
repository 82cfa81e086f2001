#include "view/accessible_click_label.h"

#include "view/click_label.h"

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

QAccessibleInterface* accessibleClickLabel(const QString&, QObject* object)
{
    auto* label = qobject_cast<ClickLabel*>(object);
    if (!label || label->accessibleRole() == QAccessible::NoRole)
        return nullptr;
    return new AccessibleClickLabel(label);
}

} // namespace quillmere
