#pragma once

#include <QColor>
#include <QPainterPath>
#include <QRectF>
#include <QTransform>

#include "swf/shape.h"
#include "swf/types.h"

namespace quillmere::swf::qt {

QTransform toQt(const Matrix& m);
QColor toQt(Rgba color);
// `closed` closes every contour, as fills need; strokes keep their ends open.
QPainterPath toQt(const Path& path, bool closed);
QRectF toQt(const Rect& r);

// How much a transform scales lengths, on average over directions.
double lengthScale(const QTransform& t);

// How far a stroke reaches out from its path, in the units `transform` maps to, when those are
// pixels: half its width, more at miter joins and square caps, and never less than a pixel.
double strokeReach(const LineStyle& line, const QTransform& transform);

} // namespace quillmere::swf::qt
