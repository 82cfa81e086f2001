#pragma once

#include <string>
#include <vector>

#include <QStringList>

namespace quillmere::testing {

// Readable comparisons in QCOMPARE: std::vector<std::string> as a QStringList.
inline QStringList qt(const std::vector<std::string>& texts)
{
    QStringList list;
    for (const auto& text : texts)
        list << QString::fromStdString(text);
    return list;
}

} // namespace quillmere::testing
