#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "swf/types.h"

namespace quillmere::swf {

struct Bitmap;

struct Gradient {
    enum class Spread { Pad, Reflect, Repeat };
    enum class Interpolation { Rgb, LinearRgb };
    struct Stop {
        std::uint8_t ratio = 0; // 0-255 along the gradient
        Rgba color;
    };
    Spread spread = Spread::Pad;
    Interpolation interpolation = Interpolation::Rgb;
    std::vector<Stop> stops;
    double focalPoint = 0; // focal gradients: -1 to 1 along the radius
};

// Gradients are drawn in a square from -16384 to 16384 on both axes, which the style's matrix
// maps into the shape: linear along x, radial around the origin with radius 16384.
inline constexpr double kGradientSquareHalf = 16384;

struct FillStyle {
    enum class Kind { Solid, LinearGradient, RadialGradient, FocalGradient, Bitmap };
    Kind kind = Kind::Solid;
    Rgba color;
    Gradient gradient;
    Matrix matrix; // gradient square, or bitmap pixels, to shape twips
    std::uint16_t bitmapId = 0;
    std::shared_ptr<const Bitmap> scriptBitmap; // a script's, drawn instead of the movie's id
    bool repeat = true;
    bool smooth = true;
};

struct LineStyle {
    enum class Cap { Round, None, Square };
    enum class Join { Round, Bevel, Miter };
    std::uint16_t width = 0; // twips
    Cap startCap = Cap::Round;
    Cap endCap = Cap::Round;
    Join join = Join::Round;
    double miterLimit = 3;
    bool scalesHorizontally = true; // false: the width is kept whatever the scale
    bool scalesVertically = true;
    bool pixelHinting = false; // its points and width kept to whole pixels, for crisp thin lines
    FillStyle fill;            // a solid colour unless the style fills its stroke with a gradient or bitmap
};

struct Segment {
    Point control; // curves only: quadratic control point
    Point to;
    bool curved = false;
};

struct Contour {
    Point from;
    std::vector<Segment> segments;
};

using Path = std::vector<Contour>;

// An edge as the shape records give it: the fills on its two sides and its line, as 1-based
// indices into the layer's styles (0: none).
struct Edge {
    Point from;
    Segment segment;
    std::uint32_t fill0 = 0;
    std::uint32_t fill1 = 0;
    std::uint32_t line = 0;
};

// A pen move or an edge, as shape records give them one after the other.
struct ShapeRecord {
    bool move = false;
    Point from; // the pen before an edge, or where a move takes it
    Segment segment;
    std::uint32_t fill0 = 0, fill1 = 0, line = 0;
};

// The styles of one style array and the edges drawn with them. A shape record that brings new
// styles starts a new layer, drawn above the ones before.
struct EdgeLayer {
    std::vector<FillStyle> fills;
    std::vector<LineStyle> lines;
    std::vector<Edge> edges;
};

// A layer ready to draw: each fill style's closed contours, then each line style's strokes.
struct ShapeLayer {
    std::vector<FillStyle> fills;
    std::vector<LineStyle> lines;
    std::vector<Path> fillPaths; // fillPaths[i] is filled with fills[i]
    std::vector<Path> linePaths; // linePaths[i] is stroked with lines[i]
};

struct Shape {
    Rect bounds;
    // Tells a script's drawings apart, each made once; 0 for the movie's shapes.
    std::uint64_t serial = 0;
    bool nonZeroWinding = false; // else even-odd
    std::vector<ShapeLayer> layers;
};

// Joins the edges of each fill style into closed contours, whichever side of an edge the fill
// lies on, and each line style's edges into strokes in the order they were drawn.
ShapeLayer buildLayer(EdgeLayer layer);

} // namespace quillmere::swf
