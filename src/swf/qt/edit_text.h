#pragma once

#include <QTransform>

#include "swf/movie.h"

class QPainter;

namespace quillmere::swf::qt {

class Outlines;

// A text field drawn as static text: each line of its text laid out in its bounds and clipped
// to them, in its embedded font or a sans-serif face of the same height.
void drawEditText(QPainter& painter, const EditText& field, const QTransform& transform, const ColorTransform& colors,
                  Outlines& outlines);

} // namespace quillmere::swf::qt
