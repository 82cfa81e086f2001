#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <vector>

#include "swf/shape.h"

namespace quillmere::swf {

// A sprite's drawing, made by its scripts pen stroke by pen stroke: each fill begun is a layer
// of its own, over those before, with the lines drawn while it was open on top of it. A fill
// left open is drawn closed.
class Drawing {
public:
    // The most edges a drawing holds: past it, more are not drawn.
    static constexpr std::size_t kMostEdges = 100'000;
    // The most edges, fills and line styles the drawings sharing a count hold altogether, so
    // that strokes spread over many clips, frame after frame, stay bounded too.
    static constexpr std::size_t kMostPartsAltogether = 1'000'000;
    using SharedCount = std::shared_ptr<std::size_t>;

    explicit Drawing(SharedCount altogether = nullptr);
    ~Drawing();
    // A copy counts as much again, or is left empty when the count has no room for it.
    Drawing(const Drawing& other) = delete;
    Drawing& operator=(const Drawing& other);

    void beginFill(const FillStyle& fill); // ends the fill before
    void endFill();
    void lineStyle(std::optional<LineStyle> line); // none: what follows has no line
    void lineFill(const FillStyle& fill);          // the line's, from here on; none without a line
    void moveTo(Point to);
    void lineTo(Point to);
    void curveTo(Point control, Point to);
    void clear();

    // A number no other shape made for a script has: the renderer keeps such shapes' outlines
    // by it.
    static std::uint64_t nextSerial();
    // What it draws now, made again only after a change; null when it draws nothing.
    std::shared_ptr<const Shape> shape();

private:
    void edge(Segment segment);
    bool take(); // room for one part more, counted
    void giveBack();
    void closeContour(); // the fill's edge back to where the contour began
    EdgeLayer& lineLayer();

    std::vector<EdgeLayer> layers_;
    bool filling_ = false;
    std::uint32_t line_ = 0; // of the last layer, 1-based
    Point pen_;
    Point contourStart_;
    std::size_t edges_ = 0;
    std::size_t parts_ = 0; // edges, fills and line styles, as counted altogether
    SharedCount altogether_;
    std::shared_ptr<const Shape> shape_;
    bool changed_ = false;
};

} // namespace quillmere::swf
