#pragma once

#include <QMouseEvent>

namespace quillmere::toolkit {

// Whether a mouse press starts a click: the left button, and not the second press of a double
// click, which belongs to the double click. Every control that reacts to clicks counts them by
// this one rule, so a double click anywhere acts once.
inline bool startsClick(const QMouseEvent& event)
{
    return event.type() == QEvent::MouseButtonPress && event.button() == Qt::LeftButton
           && !event.flags().testFlag(Qt::MouseEventCreatedDoubleClick);
}

} // namespace quillmere::toolkit
