#include "swf/drawing.h"

#include <algorithm>
#include <atomic>

namespace quillmere::swf {

Drawing::Drawing(SharedCount altogether) : altogether_(std::move(altogether))
{
}

Drawing::~Drawing()
{
    giveBack();
}

Drawing& Drawing::operator=(const Drawing& other)
{
    if (this == &other)
        return *this;
    SharedCount count = altogether_;
    giveBack();
    if (count && *count + other.parts_ > kMostPartsAltogether) {
        *this = Drawing(count); // no room: nothing drawn
    } else {
        layers_ = other.layers_;
        filling_ = other.filling_;
        line_ = other.line_;
        pen_ = other.pen_;
        contourStart_ = other.contourStart_;
        edges_ = other.edges_;
        parts_ = other.parts_;
        shape_ = other.shape_;
        if (count)
            *count += parts_;
    }
    altogether_ = std::move(count);
    changed_ = true;
    return *this;
}

bool Drawing::take()
{
    if (altogether_ && *altogether_ >= kMostPartsAltogether)
        return false;
    ++parts_;
    if (altogether_)
        ++*altogether_;
    return true;
}

void Drawing::giveBack()
{
    if (altogether_)
        *altogether_ -= std::min(*altogether_, parts_);
    parts_ = 0;
}

void Drawing::beginFill(const FillStyle& fill)
{
    endFill();
    if (!take())
        return; // past the count: the fill is not drawn
    EdgeLayer layer;
    layer.fills.push_back(fill);
    // The line style goes on in the new layer.
    if (line_ != 0)
        layer.lines.push_back(layers_.back().lines[line_ - 1]);
    line_ = line_ != 0 ? 1 : 0;
    layers_.push_back(std::move(layer));
    filling_ = true;
    contourStart_ = pen_;
    changed_ = true;
}

void Drawing::endFill()
{
    if (!filling_)
        return;
    closeContour();
    filling_ = false;
    changed_ = true;
}

EdgeLayer& Drawing::lineLayer()
{
    if (layers_.empty())
        layers_.emplace_back();
    return layers_.back();
}

void Drawing::lineStyle(std::optional<LineStyle> line)
{
    line_ = 0;
    if (line && take()) {
        EdgeLayer& layer = lineLayer();
        layer.lines.push_back(*line);
        line_ = std::uint32_t(layer.lines.size());
    }
    changed_ = true;
}

void Drawing::lineFill(const FillStyle& fill)
{
    if (line_ == 0)
        return;
    LineStyle line = layers_.back().lines[line_ - 1];
    line.fill = fill;
    lineStyle(line);
}

void Drawing::moveTo(Point to)
{
    if (filling_)
        closeContour();
    pen_ = contourStart_ = to;
}

void Drawing::lineTo(Point to)
{
    edge({{}, to, false});
}

void Drawing::curveTo(Point control, Point to)
{
    edge({control, to, true});
}

void Drawing::edge(Segment segment)
{
    const Point from = pen_;
    pen_ = segment.to;
    if ((!filling_ && line_ == 0) || edges_ >= kMostEdges || !take())
        return;
    ++edges_;
    lineLayer().edges.push_back({from, segment, 0, filling_ ? 1u : 0u, line_});
    changed_ = true;
}

void Drawing::closeContour()
{
    if (pen_ == contourStart_ || edges_ >= kMostEdges || !take())
        return;
    ++edges_;
    layers_.back().edges.push_back({pen_, {{}, contourStart_, false}, 0, 1, line_}); // stroked too
    pen_ = contourStart_;
}

void Drawing::clear()
{
    *this = Drawing(altogether_);
}

std::uint64_t Drawing::nextSerial()
{
    static std::atomic<std::uint64_t> serials{0};
    return ++serials;
}

std::shared_ptr<const Shape> Drawing::shape()
{
    if (!changed_)
        return shape_;
    changed_ = false;
    auto shape = std::make_shared<Shape>();
    std::optional<Rect> bounds;
    const auto cover = [&bounds](Point p, std::int32_t margin) {
        const Rect around{p.x - margin, p.x + margin, p.y - margin, p.y + margin};
        bounds = !bounds ? around
                         : Rect{std::min(bounds->xMin, around.xMin), std::max(bounds->xMax, around.xMax),
                                std::min(bounds->yMin, around.yMin), std::max(bounds->yMax, around.yMax)};
    };
    for (std::size_t i = 0; i < layers_.size(); ++i) {
        EdgeLayer layer = layers_[i];
        // A fill still open is drawn closed, without changing what is drawn next.
        if (filling_ && i + 1 == layers_.size() && pen_ != contourStart_)
            layer.edges.push_back({pen_, {{}, contourStart_, false}, 0, 1, line_});
        for (const Edge& edge : layer.edges) {
            const std::int32_t margin = edge.line ? layer.lines[edge.line - 1].width / 2 : 0;
            cover(edge.from, margin);
            cover(edge.segment.to, margin);
            if (edge.segment.curved)
                cover(edge.segment.control, margin);
        }
        if (!layer.edges.empty())
            shape->layers.push_back(buildLayer(std::move(layer)));
    }
    if (shape->layers.empty()) {
        shape_.reset();
        return shape_;
    }
    shape->bounds = *bounds;
    shape->serial = nextSerial();
    shape_ = std::move(shape);
    return shape_;
}

} // namespace quillmere::swf
