#pragma once

#include <QLabel>
#include <QMouseEvent>

namespace quillmere {

// A label or picture that reports a click: a left press and its release over it. The second
// press of a double click is a double-click event and no click, so a double click opens or
// copies once.
class ClickLabel : public QLabel {
    Q_OBJECT
public:
    using QLabel::QLabel;

signals:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent* event) override
    {
        pressed_ = event->button() == Qt::LeftButton && !event->flags().testFlag(Qt::MouseEventCreatedDoubleClick);
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
};

} // namespace quillmere
