#pragma once

#include <QPainterPath>
#include <QRectF>

#include "swf/movie.h"

namespace quillmere::swf::qt {

class Outlines;

// A text field as static text: each line of its text laid out in its bounds, in its embedded
// font or a sans-serif face of the same height. In the field's twips; drawn clipped to `bounds`.
struct EditTextLayout {
    QPainterPath glyphs;
    Rgba color;
    QRectF bounds;
};
EditTextLayout layOut(const EditText& field, const ColorTransform& colors, Outlines& outlines);

} // namespace quillmere::swf::qt
