#pragma once

#include <QRegularExpression>
#include <QTest>

namespace quillmere::testing {

// Call from each test class's init(): a Qt warning fails the test that caused it. The offscreen
// platform's note that it cannot pass size hints to a window manager is expected: it has none.
inline void failOnUnexpectedWarnings()
{
    QTest::failOnWarning(
        QRegularExpression(QStringLiteral("^(?!This plugin does not support propagateSizeHints\\(\\))")));
}

} // namespace quillmere::testing
