#include <algorithm>
#include <functional>
#include <optional>
#include <tuple>
#include <limits>

#include "swf/format_error.h"
#include "swf/limits.h"
#include "swf/record_readers.h"

namespace quillmere::swf {

namespace {

// Coordinates of a hostile shape may run off the range of twips; they stop at its ends.
std::int32_t offset(std::int32_t at, std::int32_t by)
{
    const std::int64_t sum = std::int64_t(at) + by;
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(sum, std::numeric_limits<std::int32_t>::min(),
                                                              std::numeric_limits<std::int32_t>::max()));
}

Point offset(Point at, std::int32_t dx, std::int32_t dy)
{
    return {offset(at.x, dx), offset(at.y, dy)};
}

// Fields that shapes' styles and morph shapes' styles write alike, read here for both.

// Fill types 0x10, 0x12 and 0x13.
FillStyle::Kind gradientKind(std::uint8_t type)
{
    return type == 0x10   ? FillStyle::Kind::LinearGradient
           : type == 0x12 ? FillStyle::Kind::RadialGradient
                          : FillStyle::Kind::FocalGradient;
}

// Fill types 0x40 to 0x43.
void setBitmapKind(FillStyle& fill, std::uint8_t type)
{
    fill.kind = FillStyle::Kind::Bitmap;
    fill.repeat = !(type & 1);
    fill.smooth = !(type & 2);
}

// A gradient's spread and interpolation; returns the number of its stops, which follow.
std::uint32_t readGradientHeader(ByteReader& in, Gradient& gradient)
{
    const auto spread = in.ub(2);
    gradient.spread = spread == 1   ? Gradient::Spread::Reflect
                      : spread == 2 ? Gradient::Spread::Repeat
                                    : Gradient::Spread::Pad;
    gradient.interpolation = in.ub(2) == 1 ? Gradient::Interpolation::LinearRgb : Gradient::Interpolation::Rgb;
    return in.ub(4);
}

double readFocalPoint(ByteReader& in)
{
    return std::clamp(in.s16() / 256.0, -1.0, 1.0);
}

LineStyle::Cap cap(std::uint32_t bits)
{
    return bits == 1 ? LineStyle::Cap::None : bits == 2 ? LineStyle::Cap::Square : LineStyle::Cap::Round;
}

// The flags of a line style of DefineShape4 or DefineMorphShape2, and its miter limit; returns
// whether a fill style follows in place of the colour.
bool readLineFlags(ByteReader& in, LineStyle& line)
{
    line.startCap = cap(in.ub(2));
    const auto join = in.ub(2);
    line.join = join == 1 ? LineStyle::Join::Bevel : join == 2 ? LineStyle::Join::Miter : LineStyle::Join::Round;
    const bool hasFill = in.flag();
    line.scalesHorizontally = !in.flag();
    line.scalesVertically = !in.flag();
    line.pixelHinting = in.flag();
    in.ub(5 + 1); // reserved, no close
    line.endCap = cap(in.ub(2));
    if (line.join == LineStyle::Join::Miter)
        line.miterLimit = in.u16() / 256.0;
    return hasFill;
}

Gradient readGradient(ByteReader& in, int shapeVersion, bool focal)
{
    Gradient gradient;
    const auto count = readGradientHeader(in, gradient);
    for (std::uint32_t i = 0; i < count; ++i) {
        const std::uint8_t ratio = in.u8();
        gradient.stops.push_back({ratio, shapeVersion >= 3 ? readRgba(in) : readRgb(in)});
    }
    if (focal)
        gradient.focalPoint = readFocalPoint(in);
    return gradient;
}

FillStyle readFillStyle(ByteReader& in, int shapeVersion)
{
    FillStyle fill;
    const std::uint8_t type = in.u8();
    switch (type) {
    case 0x00: fill.color = shapeVersion >= 3 ? readRgba(in) : readRgb(in); break;
    case 0x10:
    case 0x12:
    case 0x13:
        fill.kind = gradientKind(type);
        fill.matrix = readMatrix(in);
        fill.gradient = readGradient(in, shapeVersion, type == 0x13);
        break;
    case 0x40:
    case 0x41:
    case 0x42:
    case 0x43:
        setBitmapKind(fill, type);
        fill.bitmapId = in.u16();
        fill.matrix = readMatrix(in);
        break;
    default: throw FormatError("unknown fill style " + std::to_string(type));
    }
    return fill;
}

std::size_t styleCount(ByteReader& in, int shapeVersion)
{
    std::size_t count = in.u8();
    if (count == 0xFF && shapeVersion >= 2)
        count = in.u16();
    return count;
}

// A style array: its count, then each style as `read` reads it. The array grows as styles are
// read, so a count the bytes cannot hold costs no more than the bytes do.
template <typename Style, typename... Args>
std::vector<Style> readStyles(ByteReader& in, std::size_t count, Style (*read)(ByteReader&, Args...), Args... args)
{
    std::vector<Style> styles;
    styles.reserve(std::min(count, in.remaining()));
    for (std::size_t i = 0; i < count; ++i)
        styles.push_back(read(in, args...));
    return styles;
}

std::vector<FillStyle> readFillStyles(ByteReader& in, int shapeVersion)
{
    return readStyles(in, styleCount(in, shapeVersion), readFillStyle, shapeVersion);
}

LineStyle readLineStyle(ByteReader& in, int shapeVersion)
{
    LineStyle line;
    line.width = in.u16();
    if (shapeVersion < 4) {
        line.fill.color = shapeVersion == 3 ? readRgba(in) : readRgb(in);
        return line;
    }
    if (readLineFlags(in, line))
        line.fill = readFillStyle(in, shapeVersion);
    else
        line.fill.color = readRgba(in);
    return line;
}

std::vector<LineStyle> readLineStyles(ByteReader& in, int shapeVersion)
{
    return readStyles(in, styleCount(in, shapeVersion), readLineStyle, shapeVersion);
}

// The shape records up to the end record, one at a time to `record`. New style arrays (in
// DefineShape 2-4) go to `newStyles`, which reads them and returns their index widths.
void readRecords(ByteReader& in, Budget& budget, const std::function<void(const ShapeRecord&)>& record,
                 const std::function<std::pair<int, int>()>& newStyles)
{
    int fillBits = static_cast<int>(in.ub(4));
    int lineBits = static_cast<int>(in.ub(4));
    ShapeRecord pen; // the pen, and the styles it draws with
    for (std::size_t records = 0;; ++records) {
        if (records == kMaxShapeRecords)
            throw LimitExceeded("a shape of more than " + std::to_string(kMaxShapeRecords) + " records");
        budget.spendRecords(1);
        if (!in.flag()) {
            const auto flags = in.ub(5);
            if (flags == 0)
                break;
            if (flags & 0x01) {
                const int bits = static_cast<int>(in.ub(5));
                pen.from.x = in.sb(bits);
                pen.from.y = in.sb(bits);
            }
            std::optional<std::uint32_t> fill0, fill1, line;
            if (flags & 0x02)
                fill0 = in.ub(fillBits);
            if (flags & 0x04)
                fill1 = in.ub(fillBits);
            if (flags & 0x08)
                line = in.ub(lineBits);
            if (flags & 0x10) { // new styles: the indices of this record already refer to them
                std::tie(fillBits, lineBits) = newStyles();
                pen.fill0 = pen.fill1 = pen.line = 0;
            }
            pen.fill0 = fill0.value_or(pen.fill0);
            pen.fill1 = fill1.value_or(pen.fill1);
            pen.line = line.value_or(pen.line);
            if (flags & 0x01) {
                pen.move = true;
                record(pen);
            }
            continue;
        }
        const bool straight = in.flag();
        const int bits = static_cast<int>(in.ub(4)) + 2;
        ShapeRecord edge = pen;
        edge.move = false;
        if (straight) {
            std::int32_t dx = 0, dy = 0;
            if (in.flag()) {
                dx = in.sb(bits);
                dy = in.sb(bits);
            } else if (in.flag()) {
                dy = in.sb(bits);
            } else {
                dx = in.sb(bits);
            }
            edge.segment = {{}, offset(pen.from, dx, dy), false};
        } else {
            const std::int32_t cx = in.sb(bits), cy = in.sb(bits), ax = in.sb(bits), ay = in.sb(bits);
            const Point control = offset(pen.from, cx, cy);
            edge.segment = {control, offset(control, ax, ay), true};
        }
        pen.from = edge.segment.to;
        record(edge);
    }
    in.align();
}

// The records of a shape or glyph, as layers of edges: each new style array starts a layer.
std::vector<EdgeLayer> readLayers(ByteReader& in, int shapeVersion, Budget& budget, EdgeLayer first)
{
    std::vector<EdgeLayer> layers{std::move(first)};
    readRecords(
        in, budget,
        [&](const ShapeRecord& r) {
            if (!r.move && (r.fill0 || r.fill1 || r.line))
                layers.back().edges.push_back({r.from, r.segment, r.fill0, r.fill1, r.line});
        },
        [&] {
            layers.push_back({readFillStyles(in, shapeVersion), readLineStyles(in, shapeVersion), {}});
            const int fillBits = static_cast<int>(in.ub(4));
            return std::pair{fillBits, static_cast<int>(in.ub(4))};
        });
    return layers;
}

} // namespace

Shape readShape(ByteReader& in, int shapeVersion, Budget& budget)
{
    Shape shape;
    shape.bounds = readRect(in);
    if (shapeVersion >= 4) {
        readRect(in); // the bounds without strokes
        shape.nonZeroWinding = in.u8() & 0x04;
    }
    EdgeLayer first{readFillStyles(in, shapeVersion), readLineStyles(in, shapeVersion), {}};
    for (EdgeLayer& layer : readLayers(in, shapeVersion, budget, std::move(first)))
        shape.layers.push_back(buildLayer(std::move(layer)));
    return shape;
}

Path readGlyph(ByteReader& in, Budget& budget)
{
    EdgeLayer layer;
    layer.fills.resize(1);
    Path outline;
    for (EdgeLayer& done : readLayers(in, 1, budget, std::move(layer))) {
        if (done.fills.empty())
            continue;
        Path joined = std::move(buildLayer(std::move(done)).fillPaths.front());
        outline.insert(outline.end(), joined.begin(), joined.end());
    }
    return outline;
}

namespace {

MorphShape::Fill readMorphFill(ByteReader& in)
{
    MorphShape::Fill fill;
    const std::uint8_t type = in.u8();
    switch (type) {
    case 0x00:
        fill.start.color = readRgba(in);
        fill.end.color = readRgba(in);
        return fill;
    case 0x10:
    case 0x12:
    case 0x13: {
        fill.start.kind = fill.end.kind = gradientKind(type);
        fill.start.matrix = readMatrix(in);
        fill.end.matrix = readMatrix(in);
        const std::uint32_t count = readGradientHeader(in, fill.start.gradient);
        fill.end.gradient = fill.start.gradient; // one spread and interpolation for both
        for (std::uint32_t i = 0; i < count; ++i) {
            const std::uint8_t startRatio = in.u8();
            const Rgba startColor = readRgba(in);
            const std::uint8_t endRatio = in.u8();
            fill.start.gradient.stops.push_back({startRatio, startColor});
            fill.end.gradient.stops.push_back({endRatio, readRgba(in)});
        }
        if (type == 0x13) {
            fill.start.gradient.focalPoint = readFocalPoint(in);
            fill.end.gradient.focalPoint = readFocalPoint(in);
        }
        return fill;
    }
    case 0x40:
    case 0x41:
    case 0x42:
    case 0x43:
        setBitmapKind(fill.start, type);
        setBitmapKind(fill.end, type);
        fill.start.bitmapId = fill.end.bitmapId = in.u16();
        fill.start.matrix = readMatrix(in);
        fill.end.matrix = readMatrix(in);
        return fill;
    default: throw FormatError("unknown morph fill style " + std::to_string(type));
    }
}

MorphShape::Line readMorphLine(ByteReader& in, bool morph2)
{
    MorphShape::Line line;
    line.start.width = in.u16();
    const std::uint16_t endWidth = in.u16();
    const bool hasFill = morph2 && readLineFlags(in, line.start);
    line.end = line.start; // the same caps, join and scaling at both ends
    line.end.width = endWidth;
    if (hasFill) {
        const MorphShape::Fill fill = readMorphFill(in);
        line.start.fill = fill.start;
        line.end.fill = fill.end;
        return line;
    }
    line.start.fill.color = readRgba(in);
    line.end.fill.color = readRgba(in);
    return line;
}

std::vector<ShapeRecord> readMorphRecords(ByteReader& in, Budget& budget)
{
    std::vector<ShapeRecord> records;
    readRecords(
        in, budget, [&](const ShapeRecord& r) { records.push_back(r); },
        []() -> std::pair<int, int> { throw FormatError("new styles in a morph shape"); });
    return records;
}

} // namespace

MorphShape readMorphShape(ByteReader& in, bool morph2, Budget& budget)
{
    MorphShape morph;
    readRect(in);
    readRect(in);
    if (morph2) {
        readRect(in);
        readRect(in);
        in.u8();
    }
    const std::size_t endOffset = in.u32();
    const std::size_t afterOffset = in.position();
    morph.fills = readStyles(in, styleCount(in, 2), readMorphFill);
    morph.lines = readStyles(in, styleCount(in, 2), readMorphLine, morph2);
    morph.start = readMorphRecords(in, budget);
    if (afterOffset + endOffset < in.position())
        throw FormatError("a morph shape's end overlaps its start");
    in.skip(afterOffset + endOffset - in.position());
    morph.end = readMorphRecords(in, budget);
    return morph;
}

} // namespace quillmere::swf
