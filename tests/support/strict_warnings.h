#pragma once

#include <QRegularExpression>
#include <QTest>

namespace quillmere::testing {

// Call from each test class's init(): a Qt warning fails the test that caused it. The offscreen
// platform's notes that it cannot pass size hints to a window manager or raise a window (a
// tooltip's) are expected: it has no window manager.
inline void failOnUnexpectedWarnings()
{
    QTest::failOnWarning(
        QRegularExpression(QStringLiteral("^(?!This plugin does not support (propagateSizeHints|raise)\\(\\))")));
}

} // namespace quillmere::testing
