#include "swf/qt/outlines.h"

#include <cmath>

#include <QPainterPathStroker>

#include "swf/limits.h"
#include "swf/qt/convert.h"

namespace quillmere::swf::qt {

namespace {

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
    case LineStyle::Join::Miter: return Qt::SvgMiterJoin; // past its limit a miter is bevelled, not cut
    default: return Qt::RoundJoin;
    }
}

// `path`'s anchors moved to where a line `width` pixels wide covers whole pixels: the nearest
// pixel centre for an odd width, corner for an even one, up and left when two are as near, as
// pixels on a shape's top and left edges are its own. `phase` is where in a pixel the path's
// origin is drawn. Curves' control points move with their nearer anchor.
QPainterPath pixelHinted(QPainterPath path, double width, QPointF phase)
{
    const double offset = std::fmod(width, 2) == 1 ? 0.5 : 0;
    const auto snap = [&](double at, double origin) { return std::ceil(at + origin - offset - 0.5) + offset - origin; };
    QPointF moved; // by the last anchor snapped
    for (int i = 0; i < path.elementCount(); ++i) {
        const QPainterPath::Element element = path.elementAt(i);
        const bool anchor = element.type != QPainterPath::CurveToElement
                            && (element.type != QPainterPath::CurveToDataElement || i + 1 == path.elementCount()
                                || path.elementAt(i + 1).type != QPainterPath::CurveToDataElement);
        if (anchor) {
            const QPointF snapped(snap(element.x, phase.x()), snap(element.y, phase.y()));
            moved = snapped - QPointF(element);
            if (element.type == QPainterPath::CurveToDataElement) // the control point before it moves with it
                path.setElementPositionAt(i - 1, path.elementAt(i - 1).x + moved.x(),
                                          path.elementAt(i - 1).y + moved.y());
            path.setElementPositionAt(i, snapped.x(), snapped.y());
        } else if (element.type == QPainterPath::CurveToElement) {
            path.setElementPositionAt(i, element.x + moved.x(), element.y + moved.y());
        }
    }
    return path;
}

} // namespace

const Outlines::ShapePaths& Outlines::paths(const Shape& shape)
{
    if (shape.serial != 0)
        return drawnPaths(shape);
    auto found = shapes_.find(&shape);
    if (found == shapes_.end())
        found = shapes_.emplace(&shape, pathsOf(shape)).first;
    return found->second;
}

const Outlines::ShapePaths& Outlines::drawnPaths(const Shape& shape)
{
    // A drawing's shape lasts until the script draws again, and another may take its address.
    auto found = drawn_.find(shape.serial);
    if (found != drawn_.end())
        return found->second;
    if (drawn_.size() >= kMaxCachedMorphFrames) {
        for (const auto& [serial, paths] : drawn_)
            strokes_.erase(&paths);
        drawn_.clear();
    }
    return drawn_.emplace(shape.serial, pathsOf(shape)).first->second;
}

const Outlines::MadeShape& Outlines::morphAt(const MorphShape& morph, std::uint16_t ratio)
{
    auto found = morphs_.find({&morph, ratio});
    if (found != morphs_.end())
        return found->second;
    if (morphs_.size() >= kMaxCachedMorphFrames) {
        morphs_.clear();  // a morph played through makes a shape for every ratio
        strokes_.clear(); // some were of those shapes
    }
    MadeShape frame{morphShapeAt(morph, ratio / 65535.0), {}};
    frame.paths = pathsOf(frame.shape);
    return morphs_.emplace(std::pair{&morph, ratio}, std::move(frame)).first->second;
}

const Outlines::MadeShape& Outlines::sliced(const Shape& shape, const Matrix& toClip, const Slicing& slicing)
{
    const SliceKey key{
        &shape, shape.serial, {toClip.a, toClip.b, toClip.c, toClip.d, toClip.tx, toClip.ty}, slicing.key()};
    auto found = slices_.find(key);
    if (found != slices_.end())
        return found->second;
    // Few: a clip scaled frame after frame makes a layout each time, and each is a shape's copy.
    constexpr std::size_t kMostSlices = 32;
    if (slices_.size() >= kMostSlices) {
        for (const auto& [made, frame] : slices_)
            strokes_.erase(&frame.paths);
        slices_.clear();
    }
    MadeShape made{slicedShape(shape, toClip, slicing), {}};
    made.paths = pathsOf(made.shape);
    return slices_.emplace(key, std::move(made)).first->second;
}

const std::vector<QPainterPath>& Outlines::glyphs(const Font& font)
{
    auto found = fonts_.find(&font);
    if (found != fonts_.end())
        return found->second;
    std::vector<QPainterPath> outlines;
    for (const Glyph& glyph : font.glyphs)
        outlines.push_back(toQt(glyph.outline, true));
    return fonts_.emplace(&font, std::move(outlines)).first->second;
}

const QPainterPath& Outlines::stroke(const Shape& shape, const ShapePaths& paths, std::size_t layer, std::size_t line,
                                     const QTransform& transform)
{
    const QTransform linear(transform.m11(), transform.m12(), transform.m21(), transform.m22(), 0, 0);
    Strokes& strokes = strokes_[&paths];
    if (strokes.outlines.empty() || strokes.linear != linear) {
        strokes.linear = linear;
        strokes.outlines.assign(paths.lines.size(), {});
        for (std::size_t i = 0; i < paths.lines.size(); ++i)
            strokes.outlines[i].resize(paths.lines[i].size());
    }
    const LineStyle& style = shape.layers[layer].lines[line];
    const QPointF phase = style.pixelHinting ? QPointF(transform.dx() - std::floor(transform.dx()),
                                                       transform.dy() - std::floor(transform.dy()))
                                             : QPointF();
    Stroke& kept = strokes.outlines[layer][line];
    if (!kept.outline || kept.phase != phase) {
        // Stroked in pixels, so that the matrix cannot make the stroke wider one way than another.
        double width = strokeWidth(style, linear, 1);
        QPainterPath path = linear.map(paths.lines[layer][line]);
        if (style.pixelHinting) {
            width = std::round(width);
            path = pixelHinted(std::move(path), width, phase);
        }
        QPainterPathStroker stroker;
        stroker.setWidth(width);
        stroker.setCapStyle(capOf(style.startCap));
        stroker.setJoinStyle(joinOf(style.join));
        stroker.setMiterLimit(style.miterLimit / 2);
        kept.outline = stroker.createStroke(path);
        kept.phase = phase;
    }
    return *kept.outline;
}

QRectF Outlines::drawnArea(const Shape& shape, const ShapePaths& paths, const QTransform& transform)
{
    QRectF area = transform.mapRect(paths.outline.boundingRect());
    for (std::size_t layer = 0; layer < shape.layers.size(); ++layer)
        for (std::size_t i = 0; i < shape.layers[layer].lines.size(); ++i) {
            const QPainterPath& path = paths.lines[layer][i];
            const double reach = strokeReach(shape.layers[layer].lines[i], transform);
            if (!path.isEmpty())
                area |= transform.mapRect(path.boundingRect()).adjusted(-reach, -reach, reach, reach);
        }
    return area;
}

Outlines::ShapePaths Outlines::pathsOf(const Shape& shape)
{
    ShapePaths built;
    const Qt::FillRule rule = shape.nonZeroWinding ? Qt::WindingFill : Qt::OddEvenFill;
    for (const ShapeLayer& layer : shape.layers) {
        auto& fills = built.fills.emplace_back();
        for (const Path& path : layer.fillPaths) {
            fills.push_back(toQt(path, true));
            fills.back().setFillRule(rule);
            built.outline.addPath(fills.back());
        }
        auto& lines = built.lines.emplace_back();
        for (const Path& path : layer.linePaths)
            lines.push_back(toQt(path, false));
    }
    return built;
}

} // namespace quillmere::swf::qt
