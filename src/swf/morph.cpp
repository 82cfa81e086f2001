#include <algorithm>
#include <cmath>

#include "swf/movie.h"

namespace quillmere::swf {

namespace {

double mix(double a, double b, double t)
{
    return a + (b - a) * t;
}

std::int32_t mix(std::int32_t a, std::int32_t b, double t)
{
    return static_cast<std::int32_t>(std::lround(mix(double(a), double(b), t)));
}

// Colour channels and gradient ratios blend as integers do, dropping the fraction.
std::uint8_t mix(std::uint8_t a, std::uint8_t b, double t)
{
    return static_cast<std::uint8_t>(std::clamp(std::floor(mix(double(a), double(b), t)), 0.0, 255.0));
}

Point mix(Point a, Point b, double t)
{
    return {mix(a.x, b.x, t), mix(a.y, b.y, t)};
}

Rgba mix(Rgba a, Rgba b, double t)
{
    return {mix(a.r, b.r, t), mix(a.g, b.g, t), mix(a.b, b.b, t), mix(a.a, b.a, t)};
}

Matrix mix(const Matrix& a, const Matrix& b, double t)
{
    return {mix(a.a, b.a, t), mix(a.b, b.b, t),   mix(a.c, b.c, t),
            mix(a.d, b.d, t), mix(a.tx, b.tx, t), mix(a.ty, b.ty, t)};
}

FillStyle mix(const FillStyle& a, const FillStyle& b, double t)
{
    FillStyle fill = a;
    fill.color = mix(a.color, b.color, t);
    fill.matrix = mix(a.matrix, b.matrix, t);
    fill.gradient.focalPoint = mix(a.gradient.focalPoint, b.gradient.focalPoint, t);
    for (std::size_t i = 0; i < fill.gradient.stops.size() && i < b.gradient.stops.size(); ++i) {
        fill.gradient.stops[i].ratio = mix(a.gradient.stops[i].ratio, b.gradient.stops[i].ratio, t);
        fill.gradient.stops[i].color = mix(a.gradient.stops[i].color, b.gradient.stops[i].color, t);
    }
    return fill;
}

// A straight edge as the curve with its control point halfway, so that it can blend with a curve.
Point controlOf(Point from, const Segment& s)
{
    const auto half = [](std::int32_t a, std::int32_t b) { return std::int32_t((std::int64_t(a) + b) / 2); };
    return s.curved ? s.control : Point{half(from.x, s.to.x), half(from.y, s.to.y)};
}

} // namespace

Shape morphShapeAt(const MorphShape& morph, double t)
{
    t = std::clamp(t, 0.0, 1.0);
    EdgeLayer layer;
    for (const auto& fill : morph.fills)
        layer.fills.push_back(mix(fill.start, fill.end, t));
    for (const auto& line : morph.lines) {
        LineStyle mixed = line.start;
        mixed.width = static_cast<std::uint16_t>(std::lround(mix(double(line.start.width), double(line.end.width), t)));
        mixed.fill = mix(line.start.fill, line.end.fill, t);
        layer.lines.push_back(mixed);
    }
    // The end form's records follow the start's one for one; a move of the start form may have
    // no move in the end form, which then stays where its pen is.
    Point endPen;
    std::size_t j = 0;
    for (const ShapeRecord& start : morph.start) {
        if (start.move) {
            if (j < morph.end.size() && morph.end[j].move)
                endPen = morph.end[j++].from;
            continue;
        }
        while (j < morph.end.size() && morph.end[j].move)
            endPen = morph.end[j++].from;
        const Point endFrom = endPen;
        Segment endSegment{endPen, endPen, false};
        if (j < morph.end.size())
            endSegment = morph.end[j++].segment;
        endPen = endSegment.to;
        Edge edge{mix(start.from, endFrom, t), {}, start.fill0, start.fill1, start.line};
        edge.segment.curved = start.segment.curved || endSegment.curved;
        edge.segment.control = mix(controlOf(start.from, start.segment), controlOf(endFrom, endSegment), t);
        edge.segment.to = mix(start.segment.to, endSegment.to, t);
        if (edge.fill0 || edge.fill1 || edge.line)
            layer.edges.push_back(edge);
    }
    Shape shape;
    shape.layers.push_back(buildLayer(std::move(layer)));
    return shape;
}

} // namespace quillmere::swf
