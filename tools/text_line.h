#pragma once

#include <cstdint>

#include <QFont>
#include <QString>

#include "swf_writer.h"

namespace quillmere::swf {

// A line of text in glyphs of its own embedded font, made from a desktop face's outlines.
struct TextLine {
    std::uint16_t fontId, textId;
    QString text;
    QFont face;
    int height; // in twips
    Rgba color;
    Rect bounds;
    std::int32_t left, right; // the line is centred between these
    std::int32_t baseline;
};

// Defines font `fontId` with the glyphs that the line uses, and text `textId` that sets it.
// Returns where the line starts and how wide it is, in twips.
struct LineExtent {
    std::int32_t left, width;
};
LineExtent defineTextLine(SwfWriter& movie, const TextLine& line);

} // namespace quillmere::swf
