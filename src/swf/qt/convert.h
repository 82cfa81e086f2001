#pragma once

#include <QColor>
#include <QPainterPath>
#include <QRectF>
#include <QTransform>

#include "swf/geometry.h"
#include "swf/player.h"
#include "swf/shape.h"
#include "swf/types.h"

namespace quillmere::swf::qt {

QTransform toQt(const Matrix& m);
QColor toQt(Rgba color);
// `closed` closes every contour, as fills need; strokes keep their ends open.
QPainterPath toQt(const Path& path, bool closed);
QRectF toQt(const Rect& r);
QRectF toQt(const Box& box);

// Where a sprite's children go: through `transform`, once its scroll rectangle has moved them.
QTransform scrolledContent(const DisplayObject& object, const QTransform& transform);

// A stroke's width in the units `transform` maps to, where one output pixel is `pixel` of them.
// Players keep a stroke as wide along its whole length, whatever the matrix: the width follows
// the mean of the horizontal and vertical scales, only the vertical one with noHScale, only the
// horizontal one with noVScale, neither with both (a width in pixels). Never under a pixel.
double strokeWidth(const LineStyle& line, const QTransform& transform, double pixel);

// How far a stroke reaches out from its path, in the units `transform` maps to, when those are
// pixels: half its width, more at miter joins and square caps, and never less than a pixel.
double strokeReach(const LineStyle& line, const QTransform& transform);

} // namespace quillmere::swf::qt
