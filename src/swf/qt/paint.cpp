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

// Linear-RGB gradients blend in linear light. Qt blends in sRGB, so stops close together, each
// at the colour linear light gives there, make it follow that curve.
QColor mixInLinearLight(const QColor& from, const QColor& to, double t)
{
    const auto mix = [t](int a, int b) { return fromLinear((1 - t) * toLinear(a) + t * toLinear(b)); };
    return QColor(mix(from.red(), to.red()), mix(from.green(), to.green()), mix(from.blue(), to.blue()),
                  static_cast<int>(std::lround((1 - t) * from.alpha() + t * to.alpha())));
}

QGradientStops gradientStops(const Gradient& gradient, const ColorTransform& colors)
{
    QGradientStops stops;
    const auto add = [&stops](double position, const QColor& color) {
        // Two stops at one ratio make a sharp edge; Qt keeps only one stop at a position.
        if (!stops.isEmpty() && position <= stops.last().first)
            position = std::min(1.0, stops.last().first + 1e-6);
        stops.append({position, color});
    };
    for (std::size_t i = 0; i < gradient.stops.size(); ++i) {
        const auto& stop = gradient.stops[i];
        const QColor color = toQt(colors.apply(stop.color));
        if (i > 0 && gradient.interpolation == Gradient::Interpolation::LinearRgb) {
            const auto& previous = gradient.stops[i - 1];
            const QColor from = toQt(colors.apply(previous.color));
            constexpr int kSteps = 32;
            for (int step = 1; step < kSteps; ++step) {
                const double t = double(step) / kSteps;
                add((previous.ratio + t * (stop.ratio - previous.ratio)) / 255.0, mixInLinearLight(from, color, t));
            }
        }
        add(stop.ratio / 255.0, color);
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
    const bool scales = line.scalesHorizontally && line.scalesVertically;
    const double pixels = scales ? line.width * lengthScale(transform) / pixel : line.width / kTwipsPerPixel;
    // Strokes never get thinner than a pixel; a kept width is in pixels whatever the scale.
    QPen result(brush(line.fill, colors, bitmaps), line.width);
    if (pixels < 1 || !scales) {
        result.setCosmetic(true);
        result.setWidthF(std::max(1.0, pixels) * pixel);
    }
    result.setCapStyle(capOf(line.startCap));
    result.setJoinStyle(joinOf(line.join));
    result.setMiterLimit(line.miterLimit);
    return result;
}

} // namespace quillmere::swf::qt
