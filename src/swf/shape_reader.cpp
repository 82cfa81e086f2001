#include <algorithm>
#include <functional>
#include <optional>
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

Gradient readGradient(ByteReader& in, int shapeVersion, bool focal)
{
    Gradient gradient;
    const auto spread = in.ub(2);
    gradient.spread = spread == 1   ? Gradient::Spread::Reflect
                      : spread == 2 ? Gradient::Spread::Repeat
                                    : Gradient::Spread::Pad;
    gradient.interpolation = in.ub(2) == 1 ? Gradient::Interpolation::LinearRgb : Gradient::Interpolation::Rgb;
    const auto count = in.ub(4);
    for (std::uint32_t i = 0; i < count; ++i) {
        const std::uint8_t ratio = in.u8();
        gradient.stops.push_back({ratio, shapeVersion >= 3 ? readRgba(in) : readRgb(in)});
    }
    if (focal)
        gradient.focalPoint = std::clamp(in.s16() / 256.0, -1.0, 1.0);
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
        fill.kind = type == 0x10   ? FillStyle::Kind::LinearGradient
                    : type == 0x12 ? FillStyle::Kind::RadialGradient
                                   : FillStyle::Kind::FocalGradient;
        fill.matrix = readMatrix(in);
        fill.gradient = readGradient(in, shapeVersion, type == 0x13);
        break;
    case 0x40:
    case 0x41:
    case 0x42:
    case 0x43:
        fill.kind = FillStyle::Kind::Bitmap;
        fill.bitmapId = in.u16();
        fill.matrix = readMatrix(in);
        fill.repeat = !(type & 1);
        fill.smooth = !(type & 2);
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

std::vector<FillStyle> readFillStyles(ByteReader& in, int shapeVersion)
{
    std::vector<FillStyle> fills(styleCount(in, shapeVersion));
    for (auto& fill : fills)
        fill = readFillStyle(in, shapeVersion);
    return fills;
}

LineStyle::Cap cap(std::uint32_t bits)
{
    return bits == 1 ? LineStyle::Cap::None : bits == 2 ? LineStyle::Cap::Square : LineStyle::Cap::Round;
}

LineStyle readLineStyle(ByteReader& in, int shapeVersion)
{
    LineStyle line;
    line.width = in.u16();
    if (shapeVersion < 4) {
        line.fill.color = shapeVersion == 3 ? readRgba(in) : readRgb(in);
        return line;
    }
    line.startCap = cap(in.ub(2));
    const auto join = in.ub(2);
    line.join = join == 1 ? LineStyle::Join::Bevel : join == 2 ? LineStyle::Join::Miter : LineStyle::Join::Round;
    const bool hasFill = in.flag();
    line.scalesHorizontally = !in.flag();
    line.scalesVertically = !in.flag();
    in.ub(1 + 5 + 1); // pixel hinting, reserved, no close
    line.endCap = cap(in.ub(2));
    if (line.join == LineStyle::Join::Miter)
        line.miterLimit = in.u16() / 256.0;
    if (hasFill)
        line.fill = readFillStyle(in, shapeVersion);
    else
        line.fill.color = readRgba(in);
    return line;
}

std::vector<LineStyle> readLineStyles(ByteReader& in, int shapeVersion)
{
    std::vector<LineStyle> lines(styleCount(in, shapeVersion));
    for (auto& line : lines)
        line = readLineStyle(in, shapeVersion);
    return lines;
}

// The shape records up to the end record. `layerDone` receives each layer as new styles
// replace it, the last one included.
void readRecords(ByteReader& in, int shapeVersion, Budget& budget, EdgeLayer layer,
                 const std::function<void(EdgeLayer)>& layerDone)
{
    int fillBits = static_cast<int>(in.ub(4));
    int lineBits = static_cast<int>(in.ub(4));
    Point pen;
    std::uint32_t fill0 = 0, fill1 = 0, line = 0;
    for (std::size_t records = 0;; ++records) {
        if (records == kMaxShapeRecords)
            throw FormatError("a shape of more than " + std::to_string(kMaxShapeRecords) + " records");
        budget.spendRecords(1);
        if (!in.flag()) {
            const auto flags = in.ub(5);
            if (flags == 0)
                break;
            if (flags & 0x01) {
                const int bits = static_cast<int>(in.ub(5));
                pen.x = in.sb(bits);
                pen.y = in.sb(bits);
            }
            std::optional<std::uint32_t> newFill0, newFill1, newLine;
            if (flags & 0x02)
                newFill0 = in.ub(fillBits);
            if (flags & 0x04)
                newFill1 = in.ub(fillBits);
            if (flags & 0x08)
                newLine = in.ub(lineBits);
            if (flags & 0x10) { // new styles: the indices of this record already refer to them
                layerDone(std::move(layer));
                layer = EdgeLayer{readFillStyles(in, shapeVersion), readLineStyles(in, shapeVersion), {}};
                fillBits = static_cast<int>(in.ub(4));
                lineBits = static_cast<int>(in.ub(4));
                fill0 = fill1 = line = 0;
            }
            fill0 = newFill0.value_or(fill0);
            fill1 = newFill1.value_or(fill1);
            line = newLine.value_or(line);
            continue;
        }
        const bool straight = in.flag();
        const int bits = static_cast<int>(in.ub(4)) + 2;
        Edge edge{pen, {}, fill0, fill1, line};
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
            edge.segment.to = offset(pen, dx, dy);
        } else {
            const std::int32_t cx = in.sb(bits), cy = in.sb(bits), ax = in.sb(bits), ay = in.sb(bits);
            edge.segment.curved = true;
            edge.segment.control = offset(pen, cx, cy);
            edge.segment.to = offset(edge.segment.control, ax, ay);
        }
        pen = edge.segment.to;
        if (fill0 || fill1 || line)
            layer.edges.push_back(edge);
    }
    in.align();
    layerDone(std::move(layer));
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
    readRecords(in, shapeVersion, budget, std::move(first),
                [&](EdgeLayer layer) { shape.layers.push_back(buildLayer(std::move(layer))); });
    return shape;
}

Path readGlyph(ByteReader& in, Budget& budget)
{
    EdgeLayer layer;
    layer.fills.resize(1);
    Path outline;
    readRecords(in, 1, budget, std::move(layer), [&](EdgeLayer done) {
        if (!done.fills.empty()) {
            Path joined = std::move(buildLayer(std::move(done)).fillPaths.front());
            outline.insert(outline.end(), joined.begin(), joined.end());
        }
    });
    return outline;
}

} // namespace quillmere::swf
