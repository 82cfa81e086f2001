#include <unordered_map>

#include "swf/shape.h"

namespace quillmere::swf {

namespace {

struct DirectedEdge {
    Point from;
    Segment segment;
};

std::uint64_t key(Point p)
{
    return std::uint64_t(std::uint32_t(p.x)) << 32 | std::uint32_t(p.y);
}

// Follows edges end to start until a contour closes. A shape whose edges do not meet still
// yields contours; drawing closes them.
Path joinIntoContours(const std::vector<DirectedEdge>& edges)
{
    std::unordered_map<std::uint64_t, std::vector<std::size_t>> startingAt;
    for (std::size_t i = edges.size(); i-- > 0;)
        startingAt[key(edges[i].from)].push_back(i);
    std::vector<bool> used(edges.size(), false);
    const auto takeFrom = [&](Point at) -> const DirectedEdge* {
        auto found = startingAt.find(key(at));
        if (found == startingAt.end())
            return nullptr;
        auto& candidates = found->second;
        while (!candidates.empty()) {
            const std::size_t index = candidates.back();
            candidates.pop_back();
            if (!used[index]) {
                used[index] = true;
                return &edges[index];
            }
        }
        return nullptr;
    };

    Path path;
    for (std::size_t first = 0; first < edges.size(); ++first) {
        if (used[first])
            continue;
        Contour contour{edges[first].from, {}};
        for (const DirectedEdge* edge = takeFrom(edges[first].from); edge; edge = takeFrom(edge->segment.to)) {
            contour.segments.push_back(edge->segment);
            if (edge->segment.to == contour.from)
                break;
        }
        path.push_back(std::move(contour));
    }
    return path;
}

DirectedEdge reversed(const Edge& edge)
{
    return {edge.segment.to, {edge.segment.control, edge.from, edge.segment.curved}};
}

} // namespace

ShapeLayer buildLayer(EdgeLayer layer)
{
    ShapeLayer built;
    std::vector<std::vector<DirectedEdge>> byFill(layer.fills.size());
    for (const Edge& edge : layer.edges) {
        // The fill of side 1 lies to one side of the edge as drawn, that of side 0 to the other:
        // turning the side-0 edges round gives every contour of a fill the same orientation. An
        // edge with the same fill on both sides bounds nothing.
        if (edge.fill0 == edge.fill1)
            continue;
        if (edge.fill1 >= 1 && edge.fill1 <= byFill.size())
            byFill[edge.fill1 - 1].push_back({edge.from, edge.segment});
        if (edge.fill0 >= 1 && edge.fill0 <= byFill.size())
            byFill[edge.fill0 - 1].push_back(reversed(edge));
    }
    for (const auto& edges : byFill)
        built.fillPaths.push_back(joinIntoContours(edges));

    built.linePaths.resize(layer.lines.size());
    const Edge* previous = nullptr;
    for (const Edge& edge : layer.edges) {
        if (edge.line >= 1 && edge.line <= layer.lines.size()) {
            Path& path = built.linePaths[edge.line - 1];
            const bool continues = previous && previous->line == edge.line && previous->segment.to == edge.from;
            if (!continues)
                path.push_back({edge.from, {}});
            path.back().segments.push_back(edge.segment);
        }
        previous = &edge;
    }
    built.fills = std::move(layer.fills);
    built.lines = std::move(layer.lines);
    return built;
}

} // namespace quillmere::swf
