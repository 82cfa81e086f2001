#include "swf/qt/paint.h"

#include <algorithm>
#include <cmath>

#include <QLinearGradient>
#include <QPainter>
#include <QRadialGradient>

#include "swf/qt/bitmaps.h"
#include "swf/qt/convert.h"

namespace quillmere::swf::qt {

namespace {

double toLinear(int channel)
{
    const double c = channel / 255.0;
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

int fromLinear(double linear)
{
    const double c = linear <= 0.0031308 ? linear * 12.92 : 1.055 * std::pow(linear, 1 / 2.4) - 0.055;
    return static_cast<int>(std::lround(255 * std::clamp(c, 0.0, 1.0)));
}

// Players blend the colours of a linear-RGB gradient in linear light, the others in sRGB.
QColor mix(const QColor& from, const QColor& to, double t, bool linearLight)
{
    const auto channel = [t, linearLight](int a, int b) {
        return linearLight ? fromLinear((1 - t) * toLinear(a) + t * toLinear(b))
                           : static_cast<int>(std::lround((1 - t) * a + t * b));
    };
    return QColor(channel(from.red(), to.red()), channel(from.green(), to.green()), channel(from.blue(), to.blue()),
                  static_cast<int>(std::lround((1 - t) * from.alpha() + t * to.alpha())));
}

// Players make a ramp of 256 colours from a gradient's records, one for each ratio, and take a
// pixel's colour from it; a stop for each entry makes Qt land within a level of them.
QGradientStops gradientStops(const Gradient& gradient, const ColorTransform& colors)
{
    QGradientStops stops;
    if (gradient.stops.empty())
        return stops;
    const bool linearLight = gradient.interpolation == Gradient::Interpolation::LinearRgb;
    std::size_t next = 0; // the first record at or after the ratio
    for (int ratio = 0; ratio < 256; ++ratio) {
        while (next < gradient.stops.size() && gradient.stops[next].ratio < ratio)
            ++next;
        QColor color;
        if (next == 0)
            color = toQt(colors.apply(gradient.stops.front().color));
        else if (next == gradient.stops.size())
            color = toQt(colors.apply(gradient.stops.back().color));
        else {
            const auto& from = gradient.stops[next - 1];
            const auto& to = gradient.stops[next];
            const double t = to.ratio == from.ratio ? 1 : double(ratio - from.ratio) / (to.ratio - from.ratio);
            color = mix(toQt(colors.apply(from.color)), toQt(colors.apply(to.color)), t, linearLight);
        }
        stops.append({ratio / 255.0, color});
    }
    return stops;
}

QGradient::Spread spreadOf(const Gradient& gradient)
{
    switch (gradient.spread) {
    case Gradient::Spread::Reflect: return QGradient::ReflectSpread;
    case Gradient::Spread::Repeat: return QGradient::RepeatSpread;
    default: return QGradient::PadSpread;
    }
}

Qt::PenCapStyle capOf(LineStyle::Cap cap)
{
    switch (cap) {
    case LineStyle::Cap::None: return Qt::FlatCap;
    case LineStyle::Cap::Square: return Qt::SquareCap;
    default: return Qt::RoundCap;
    }
}

Qt::PenJoinStyle joinOf(LineStyle::Join join)
{
    switch (join) {
    case LineStyle::Join::Bevel: return Qt::BevelJoin;
    case LineStyle::Join::Miter: return Qt::MiterJoin;
    default: return Qt::RoundJoin;
    }
}

bool onlyFadesAlpha(const ColorTransform& c)
{
    return c.mult[0] == 1 && c.mult[1] == 1 && c.mult[2] == 1 && c.add == std::array<double, 4>{0, 0, 0, 0};
}

} // namespace

QBrush brush(const FillStyle& style, const ColorTransform& colors, Bitmaps& bitmaps)
{
    const Gradient& gradient = style.gradient;
    switch (style.kind) {
    case FillStyle::Kind::Solid: return QBrush(toQt(colors.apply(style.color)));
    case FillStyle::Kind::Bitmap: {
        const QImage& image = bitmaps.get(style.bitmapId, colors);
        if (image.isNull())
            return Qt::NoBrush;
        QBrush texture(image);
        texture.setTransform(toQt(style.matrix));
        return texture;
    }
    default: break;
    }
    if (gradient.stops.empty())
        return Qt::NoBrush;
    QGradient qtGradient;
    if (style.kind == FillStyle::Kind::LinearGradient) {
        qtGradient = QLinearGradient(-kGradientSquareHalf, 0, kGradientSquareHalf, 0);
    } else {
        const double focal = style.kind == FillStyle::Kind::FocalGradient ? gradient.focalPoint : 0;
        qtGradient = QRadialGradient(QPointF(0, 0), kGradientSquareHalf,
                                     QPointF(std::clamp(focal, -0.998, 0.998) * kGradientSquareHalf, 0));
    }
    qtGradient.setStops(gradientStops(gradient, colors));
    qtGradient.setSpread(spreadOf(gradient));
    QBrush result(qtGradient);
    result.setTransform(toQt(style.matrix));
    return result;
}

void fill(QPainter& painter, const QPainterPath& path, const FillStyle& style, const QTransform& transform,
          const ColorTransform& colors, Bitmaps& bitmaps)
{
    painter.setTransform(transform);
    if (style.kind != FillStyle::Kind::Bitmap) {
        painter.fillPath(path, brush(style, colors, bitmaps));
        return;
    }
    const bool fades = !colors.isIdentity() && onlyFadesAlpha(colors);
    const QImage& image = bitmaps.get(style.bitmapId, fades ? ColorTransform{} : colors);
    if (image.isNull())
        return;
    painter.save();
    painter.setRenderHint(QPainter::SmoothPixmapTransform, style.smooth);
    if (fades)
        painter.setOpacity(painter.opacity() * std::clamp(colors.mult[3], 0.0, 1.0));
    if (style.repeat) {
        QBrush texture(image);
        texture.setTransform(toQt(style.matrix));
        painter.fillPath(path, texture);
    } else {
        painter.setClipPath(path, Qt::IntersectClip);
        painter.setTransform(toQt(style.matrix) * transform);
        painter.drawImage(QPointF(0, 0), image);
    }
    painter.restore();
}

QPen pen(const LineStyle& line, const QTransform& transform, double pixel, const ColorTransform& colors,
         Bitmaps& bitmaps)
{
    // Drawn in device units, so that the matrix cannot make the stroke wider one way than another.
    QPen result(brush(line.fill, colors, bitmaps), strokeWidth(line, transform, pixel));
    result.setCosmetic(true);
    result.setCapStyle(capOf(line.startCap));
    result.setJoinStyle(joinOf(line.join));
    result.setMiterLimit(line.miterLimit);
    return result;
}

} // namespace quillmere::swf::qt
