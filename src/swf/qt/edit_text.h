#pragma once

#include <vector>

#include <QPainterPath>
#include <QRectF>

#include "swf/movie.h"

namespace quillmere::swf::qt {

class Outlines;

// A text field as static text: its paragraphs laid out in its bounds, lines wrapped between
// words when it wraps them, each run in its font (embedded glyphs, or a desktop face of the same
// height). In the field's twips; drawn clipped to `bounds`.
struct EditTextLayout {
    struct Run {
        QPainterPath glyphs;
        Rgba color;
    };
    std::vector<Run> runs; // one for each colour
    QRectF bounds;
    QSizeF text; // what the lines take: the widest, and all of them down to the last
    // The lines the field can be scrolled to, from 1, the one at the top as it is drawn, and
    // the last one shown whole (or the top one, when even that is cut off).
    std::uint32_t maxScroll = 1, scroll = 1, bottomScroll = 1;
};
EditTextLayout layOut(const EditText& field, Outlines& outlines);

} // namespace quillmere::swf::qt
