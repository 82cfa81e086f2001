#pragma once

#include <QAccessibleWidget>

namespace quillmere {

class ClickLabel;

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

// For QAccessible::installFactory: the interface of a ClickLabel that acts as a control.
QAccessibleInterface* accessibleClickLabel(const QString& className, QObject* object);

} // namespace quillmere
