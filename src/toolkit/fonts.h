#pragma once

#include <QFont>

namespace quillmere::toolkit {

// The one face for text the program draws itself, the window's and a banner's device fonts
// alike: the metric twin of the classic sans-serif that the window's layout was made for,
// else the system's sans-serif.
inline QFont sansSerif(int pixelSize, bool bold = false)
{
    QFont font;
    font.setFamilies({QStringLiteral("Liberation Sans"), QStringLiteral("sans-serif")});
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    return font;
}

} // namespace quillmere::toolkit
