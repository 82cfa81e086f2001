#pragma once

#include <QBrush>
#include <QPainterPath>
#include <QPen>
#include <QTransform>

#include "swf/shape.h"
#include "swf/types.h"

class QPainter;

namespace quillmere::swf::qt {

class Bitmaps;

// What a fill style paints with: a colour, a gradient or a bitmap, in shape twips.
QBrush brush(const FillStyle& style, const ColorTransform& colors, Bitmaps& bitmaps);

// Fills `path` (shape twips, drawn through `transform`) with a fill style. Bitmap fills that
// only fade are drawn with the painter's opacity rather than a tinted copy of the bitmap.
void fill(QPainter& painter, const QPainterPath& path, const FillStyle& style, const QTransform& transform,
          const ColorTransform& colors, Bitmaps& bitmaps);

// The pen a line style strokes with through `transform`, where `pixel` device units make an
// output pixel.
QPen pen(const LineStyle& line, const QTransform& transform, double pixel, const ColorTransform& colors,
         Bitmaps& bitmaps);

} // namespace quillmere::swf::qt
