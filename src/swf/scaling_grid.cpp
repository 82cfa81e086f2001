#include "swf/scaling_grid.h"

#include <algorithm>
#include <cmath>

namespace quillmere::swf {

namespace {

// One axis: [from, to] holds the clip, [low, high] is the grid's, and `scale` the clip's.
double slicedAlong(double v, double from, double to, double low, double high, double scale)
{
    low = std::clamp(low, from, to);
    high = std::clamp(high, low, to);
    const double corners = (low - from) + (to - high);
    // Scaled below its corners' size, the corners shrink together and nothing is left between.
    const double keep = corners > 0 ? std::min(1.0, (to - from) * scale / corners) / scale : 1;
    const double inner = from + (low - from) * keep, outer = to - (to - high) * keep;
    if (v <= low)
        return from + (v - from) * keep;
    if (v >= high)
        return to - (to - v) * keep;
    return inner + (v - low) * (outer - inner) / (high - low);
}

Point slicedAt(const Slicing& s, double x, double y)
{
    const auto whole = [](double v) {
        return std::int32_t(std::lround(std::clamp(v, -1e9, 1e9))); // far past any stage
    };
    return {whole(slicedAlong(x, s.bounds.xMin, s.bounds.xMax, s.grid.xMin, s.grid.xMax, s.scaleX)),
            whole(slicedAlong(y, s.bounds.yMin, s.bounds.yMax, s.grid.yMin, s.grid.yMax, s.scaleY))};
}

} // namespace

std::array<double, 10> Slicing::key() const
{
    return {grid.xMin,   grid.yMin,   grid.xMax,   grid.yMax, bounds.xMin,
            bounds.yMin, bounds.xMax, bounds.yMax, scaleX,    scaleY};
}

std::optional<Slicing> slicingOf(const Box& grid, const std::optional<Box>& bounds, const Matrix& matrix)
{
    const double scaleX = std::abs(matrix.a), scaleY = std::abs(matrix.d);
    if (matrix.b != 0 || matrix.c != 0 || !(scaleX > 0 && scaleY > 0) || (scaleX == 1 && scaleY == 1))
        return std::nullopt;
    if (!bounds || !(grid.width() > 0 && grid.height() > 0) || !(bounds->width() > 0 && bounds->height() > 0))
        return std::nullopt;
    return Slicing{grid, *bounds, scaleX, scaleY};
}

Shape slicedShape(const Shape& shape, const Matrix& toClip, const Slicing& slicing)
{
    Shape out = shape;
    const auto move = [&](Point& p) {
        p = slicedAt(slicing, toClip.a * p.x + toClip.c * p.y + toClip.tx, toClip.b * p.x + toClip.d * p.y + toClip.ty);
    };
    for (ShapeLayer& layer : out.layers) {
        for (std::vector<Path>* paths : {&layer.fillPaths, &layer.linePaths})
            for (Path& path : *paths)
                for (Contour& contour : path) {
                    move(contour.from);
                    for (Segment& segment : contour.segments) {
                        move(segment.control);
                        move(segment.to);
                    }
                }
        for (FillStyle& fill : layer.fills)
            fill.matrix = fill.matrix * toClip;
        for (LineStyle& line : layer.lines)
            line.fill.matrix = line.fill.matrix * toClip;
    }
    const Box bounds = mapped(
        Box{double(shape.bounds.xMin), double(shape.bounds.yMin), double(shape.bounds.xMax), double(shape.bounds.yMax)},
        toClip);
    const Point low = slicedAt(slicing, bounds.xMin, bounds.yMin), high = slicedAt(slicing, bounds.xMax, bounds.yMax);
    out.bounds = {low.x, high.x, low.y, high.y};
    return out;
}

} // namespace quillmere::swf
