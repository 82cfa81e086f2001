#include "swf/qt/convert.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace quillmere::swf::qt {

QTransform toQt(const Matrix& m)
{
    return QTransform(m.a, m.b, m.c, m.d, m.tx, m.ty);
}

QColor toQt(Rgba color)
{
    return QColor(color.r, color.g, color.b, color.a);
}

QPainterPath toQt(const Path& path, bool closed)
{
    QPainterPath out;
    for (const Contour& contour : path) {
        out.moveTo(contour.from.x, contour.from.y);
        for (const Segment& s : contour.segments) {
            if (s.curved)
                out.quadTo(s.control.x, s.control.y, s.to.x, s.to.y);
            else
                out.lineTo(s.to.x, s.to.y);
        }
        if (closed)
            out.closeSubpath();
    }
    return out;
}

QRectF toQt(const Rect& r)
{
    return QRectF(r.xMin, r.yMin, r.width(), r.height());
}

double strokeWidth(const LineStyle& line, const QTransform& transform, double pixel)
{
    const double horizontal = std::hypot(transform.m11(), transform.m12());
    const double vertical = std::hypot(transform.m21(), transform.m22());
    double perTwip = pixel / kTwipsPerPixel;
    if (line.scalesHorizontally && line.scalesVertically)
        perTwip = (horizontal + vertical) / 2;
    else if (line.scalesHorizontally)
        perTwip = horizontal;
    else if (line.scalesVertically)
        perTwip = vertical;
    return std::max(pixel, line.width * perTwip);
}

double strokeReach(const LineStyle& line, const QTransform& transform)
{
    const double width = strokeWidth(line, transform, 1);
    const double corner
        = line.join == LineStyle::Join::Miter ? std::max(line.miterLimit, std::numbers::sqrt2) : std::numbers::sqrt2;
    return width / 2 * corner;
}

QRectF toQt(const Box& box)
{
    return QRectF(QPointF(box.xMin, box.yMin), QPointF(box.xMax, box.yMax));
}

QTransform scrolledContent(const DisplayObject& object, const QTransform& transform)
{
    if (!object.scrollRect)
        return transform;
    return QTransform::fromTranslate(-object.scrollRect->xMin, -object.scrollRect->yMin) * transform;
}

} // namespace quillmere::swf::qt
