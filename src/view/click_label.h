#pragma once

#include <QAccessible>
#include <QLabel>
#include <QMouseEvent>

#include "toolkit/clicks.h"

namespace quillmere {

// A label or picture that reports a click: a left press and its release over it. The second
// press of a double click is a double-click event and no click, so a double click opens or
// copies once.
class ClickLabel : public QLabel {
    Q_OBJECT
public:
    using QLabel::QLabel;

    // What assistive technology meets it as, when it acts as a control: a push button or a
    // link. NoRole: a plain label or picture.
    QAccessible::Role accessibleRole() const { return accessibleRole_; }
    void setAccessibleRole(QAccessible::Role role) { accessibleRole_ = role; }
    // A click made without the mouse: a screen reader's or a switch user's press.
    void click() { emit clicked(); }

signals:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent* event) override
    {
        pressed_ = toolkit::startsClick(*event);
        QLabel::mousePressEvent(event);
    }
    void mouseDoubleClickEvent(QMouseEvent* event) override
    {
        event->accept(); // QLabel would take it for another press
    }
    void mouseReleaseEvent(QMouseEvent* event) override
    {
        const bool click
            = pressed_ && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint());
        pressed_ = false;
        if (click)
            emit clicked();
        QLabel::mouseReleaseEvent(event);
    }

private:
    bool pressed_ = false;
    QAccessible::Role accessibleRole_ = QAccessible::NoRole;
};

} // namespace quillmere
