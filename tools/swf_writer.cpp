#include "swf_writer.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <stdexcept>

#include <lzma.h>
#include <zlib.h>

namespace quillmere::swf {

namespace {

class BitWriter {
public:
    void ub(std::uint32_t value, int bits)
    {
        for (int i = bits - 1; i >= 0; --i) {
            current_ = static_cast<std::uint8_t>(current_ << 1 | ((value >> i) & 1u));
            if (++used_ == 8)
                flush();
        }
    }
    void sb(std::int32_t value, int bits) { ub(static_cast<std::uint32_t>(value), bits); }
    void flag(bool on) { ub(on ? 1 : 0, 1); }
    void align()
    {
        if (used_ > 0)
            ub(0, 8 - used_);
    }
    void u8(std::uint32_t v)
    {
        align();
        bytes_ += static_cast<char>(v & 0xFF);
    }
    void u16(std::uint32_t v)
    {
        u8(v);
        u8(v >> 8);
    }
    void u32(std::uint32_t v)
    {
        u16(v);
        u16(v >> 16);
    }
    void raw(const std::string& data)
    {
        align();
        bytes_ += data;
    }
    std::string take()
    {
        align();
        return std::move(bytes_);
    }

private:
    void flush()
    {
        bytes_ += static_cast<char>(current_);
        current_ = 0;
        used_ = 0;
    }
    std::string bytes_;
    std::uint8_t current_ = 0;
    int used_ = 0;
};

// Bits a signed field needs to hold every value.
int signedBits(std::initializer_list<std::int64_t> values)
{
    int bits = 1;
    for (const std::int64_t v : values)
        while (v < -(std::int64_t(1) << (bits - 1)) || v >= (std::int64_t(1) << (bits - 1)))
            ++bits;
    return bits;
}

int unsignedBits(std::uint32_t value)
{
    int bits = 0;
    while (value >> bits)
        ++bits;
    return bits;
}

void rect(BitWriter& w, const Rect& r)
{
    const int bits = signedBits({r.xMin, r.xMax, r.yMin, r.yMax});
    w.ub(std::uint32_t(bits), 5);
    for (const std::int32_t v : {r.xMin, r.xMax, r.yMin, r.yMax})
        w.sb(v, bits);
    w.align();
}

std::int32_t fixed16(double v)
{
    return static_cast<std::int32_t>(std::lround(v * 65536));
}

// A pair of values behind their bit count, as a matrix holds its scale, rotation and move.
void pair(BitWriter& w, std::int32_t first, std::int32_t second)
{
    const int bits = first == 0 && second == 0 ? 0 : signedBits({first, second});
    w.ub(std::uint32_t(bits), 5);
    w.sb(first, bits);
    w.sb(second, bits);
}

void matrix(BitWriter& w, const Matrix& m)
{
    const bool scale = m.a != 1 || m.d != 1;
    w.flag(scale);
    if (scale)
        pair(w, fixed16(m.a), fixed16(m.d));
    const bool rotate = m.b != 0 || m.c != 0;
    w.flag(rotate);
    if (rotate)
        pair(w, fixed16(m.b), fixed16(m.c));
    pair(w, std::int32_t(std::lround(m.tx)), std::int32_t(std::lround(m.ty)));
    w.align();
}

void colorTransform(BitWriter& w, const ColorTransform& c)
{
    std::vector<std::int64_t> values;
    for (int i = 0; i < 4; ++i) {
        values.push_back(std::lround(c.mult[i] * 256));
        values.push_back(std::lround(c.add[i]));
    }
    int bits = 1;
    for (const auto v : values)
        bits = std::max(bits, signedBits({v}));
    w.flag(true);
    w.flag(true);
    w.ub(std::uint32_t(bits), 4);
    for (int i = 0; i < 4; ++i)
        w.sb(std::int32_t(std::lround(c.mult[i] * 256)), bits);
    for (int i = 0; i < 4; ++i)
        w.sb(std::int32_t(std::lround(c.add[i])), bits);
    w.align();
}

void color(BitWriter& w, Rgba c, bool alpha)
{
    w.u8(c.r);
    w.u8(c.g);
    w.u8(c.b);
    if (alpha)
        w.u8(c.a);
}

// A filter list, as PlaceObject3 and button records hold it.
void filters(BitWriter& w, const std::vector<Filter>& list)
{
    const auto fixed = [&w](double v) { w.u32(std::uint32_t(std::int32_t(std::lround(v * 65536)))); };
    const auto fixed8 = [&w](double v) { w.u16(std::uint16_t(std::int16_t(std::lround(v * 256)))); };
    const auto single = [&w](float v) { w.u32(std::bit_cast<std::uint32_t>(v)); };
    const auto flags = [&w](const Filter& f, bool withOnTop) {
        w.u8((f.inner ? 0x80 : 0) | (f.knockout ? 0x40 : 0) | (f.compositeSource ? 0x20 : 0)
             | (withOnTop ? (f.onTop ? 0x10 : 0) | (f.passes & 0x0F) : f.passes & 0x1F));
    };
    w.u8(std::uint32_t(list.size()));
    for (const Filter& f : list) {
        using Kind = Filter::Kind;
        w.u8(std::uint8_t(f.kind));
        switch (f.kind) {
        case Kind::DropShadow:
        case Kind::Glow:
            color(w, f.colors.at(0), true);
            fixed(f.blurX);
            fixed(f.blurY);
            if (f.kind == Kind::DropShadow) {
                fixed(f.angle);
                fixed(f.distance);
            }
            fixed8(f.strength);
            flags(f, false);
            break;
        case Kind::Blur:
            fixed(f.blurX);
            fixed(f.blurY);
            w.u8(std::uint32_t(f.passes) << 3);
            break;
        case Kind::Bevel:
        case Kind::GradientGlow:
        case Kind::GradientBevel:
            if (f.kind != Kind::Bevel)
                w.u8(std::uint32_t(f.colors.size()));
            for (const Rgba c : f.colors)
                color(w, c, true);
            if (f.kind != Kind::Bevel)
                for (const std::uint8_t ratio : f.ratios)
                    w.u8(ratio);
            fixed(f.blurX);
            fixed(f.blurY);
            fixed(f.angle);
            fixed(f.distance);
            fixed8(f.strength);
            flags(f, true);
            break;
        case Kind::Convolution:
            w.u8(std::uint32_t(f.columns));
            w.u8(std::uint32_t(f.rows));
            single(f.divisor);
            single(f.bias);
            for (const float v : f.matrix)
                single(v);
            color(w, f.defaultColor, true);
            w.u8((f.clamp ? 0x02 : 0) | (f.preserveAlpha ? 0x01 : 0));
            break;
        case Kind::ColorMatrix:
            for (const float v : f.matrix)
                single(v);
            break;
        }
    }
}

void fillStyle(BitWriter& w, const FillStyle& f, int shapeVersion)
{
    using Kind = FillStyle::Kind;
    switch (f.kind) {
    case Kind::Solid:
        w.u8(0x00);
        color(w, f.color, shapeVersion >= 3);
        return;
    case Kind::Bitmap:
        w.u8(0x40 | (f.repeat ? 0 : 1) | (f.smooth ? 0 : 2));
        w.u16(f.bitmapId);
        matrix(w, f.matrix);
        return;
    default: break;
    }
    w.u8(f.kind == Kind::LinearGradient ? 0x10 : f.kind == Kind::RadialGradient ? 0x12 : 0x13);
    matrix(w, f.matrix);
    const Gradient& g = f.gradient;
    w.ub(static_cast<std::uint32_t>(g.spread), 2);
    w.ub(static_cast<std::uint32_t>(g.interpolation), 2);
    w.ub(std::uint32_t(g.stops.size()), 4);
    for (const auto& stop : g.stops) {
        w.u8(stop.ratio);
        color(w, stop.color, shapeVersion >= 3);
    }
    if (f.kind == Kind::FocalGradient)
        w.u16(static_cast<std::uint16_t>(std::lround(g.focalPoint * 256)));
}

void lineStyle(BitWriter& w, const LineStyle& l, int shapeVersion)
{
    w.u16(l.width);
    if (shapeVersion < 4) {
        color(w, l.fill.color, shapeVersion >= 3);
        return;
    }
    const bool hasFill = l.fill.kind != FillStyle::Kind::Solid;
    w.ub(static_cast<std::uint32_t>(l.startCap), 2);
    w.ub(static_cast<std::uint32_t>(l.join), 2);
    w.flag(hasFill);
    w.flag(!l.scalesHorizontally);
    w.flag(!l.scalesVertically);
    w.ub(0, 1 + 5 + 1);
    w.ub(static_cast<std::uint32_t>(l.endCap), 2);
    if (l.join == LineStyle::Join::Miter)
        w.u16(static_cast<std::uint16_t>(std::lround(l.miterLimit * 256)));
    if (hasFill)
        fillStyle(w, l.fill, shapeVersion);
    else
        color(w, l.fill.color, true);
}

void styleCount(BitWriter& w, std::size_t count)
{
    if (count < 0xFF) {
        w.u8(std::uint32_t(count));
    } else {
        w.u8(0xFF);
        w.u16(std::uint32_t(count));
    }
}

void records(BitWriter& w, const std::vector<SwfWriter::Step>& steps, std::size_t fills, std::size_t lines)
{
    const int fillBits = unsignedBits(std::uint32_t(fills));
    const int lineBits = unsignedBits(std::uint32_t(lines));
    w.ub(std::uint32_t(fillBits), 4);
    w.ub(std::uint32_t(lineBits), 4);
    std::int32_t x = 0, y = 0;
    for (const auto& step : steps) {
        if (const auto* move = std::get_if<SwfWriter::MoveTo>(&step)) {
            w.flag(false);
            w.ub(0x01, 5);
            const int bits = signedBits({move->x, move->y});
            w.ub(std::uint32_t(bits), 5);
            w.sb(move->x, bits);
            w.sb(move->y, bits);
            x = move->x;
            y = move->y;
        } else if (const auto* styles = std::get_if<SwfWriter::Styles>(&step)) {
            w.flag(false);
            w.ub(0x02 | 0x04 | (lineBits ? 0x08 : 0), 5);
            w.ub(styles->fill0, fillBits);
            w.ub(styles->fill1, fillBits);
            if (lineBits)
                w.ub(styles->line, lineBits);
        } else if (const auto* line = std::get_if<SwfWriter::LineTo>(&step)) {
            const std::int32_t dx = line->x - x, dy = line->y - y;
            const int bits = std::max(2, signedBits({dx, dy}));
            w.flag(true);
            w.flag(true);
            w.ub(std::uint32_t(bits - 2), 4);
            w.flag(true); // general line
            w.sb(dx, bits);
            w.sb(dy, bits);
            x = line->x;
            y = line->y;
        } else {
            const auto& curve = std::get<SwfWriter::CurveTo>(step);
            const std::int32_t cx = curve.controlX - x, cy = curve.controlY - y;
            const std::int32_t ax = curve.x - curve.controlX, ay = curve.y - curve.controlY;
            const int bits = std::max(2, signedBits({cx, cy, ax, ay}));
            w.flag(true);
            w.flag(false);
            w.ub(std::uint32_t(bits - 2), 4);
            for (const std::int32_t v : {cx, cy, ax, ay})
                w.sb(v, bits);
            x = curve.x;
            y = curve.y;
        }
    }
    w.flag(false);
    w.ub(0, 5);
    w.align();
}

std::string zlibCompressed(const std::string& data)
{
    uLongf size = compressBound(uLong(data.size()));
    std::string out(size, '\0');
    if (compress2(reinterpret_cast<Bytef*>(out.data()), &size, reinterpret_cast<const Bytef*>(data.data()),
                  uLong(data.size()), Z_BEST_COMPRESSION)
        != Z_OK)
        throw std::runtime_error("zlib failed");
    out.resize(size);
    return out;
}

// ZWS: the LZMA properties and the raw stream, as lzma_alone_encoder writes them without the
// 8-byte uncompressed size.
std::string lzmaCompressed(const std::string& data)
{
    lzma_options_lzma options;
    lzma_lzma_preset(&options, 6);
    lzma_stream stream = LZMA_STREAM_INIT;
    if (lzma_alone_encoder(&stream, &options) != LZMA_OK)
        throw std::runtime_error("lzma failed");
    std::string out(data.size() + data.size() / 2 + 1024, '\0');
    stream.next_in = reinterpret_cast<const std::uint8_t*>(data.data());
    stream.avail_in = data.size();
    stream.next_out = reinterpret_cast<std::uint8_t*>(out.data());
    stream.avail_out = out.size();
    const lzma_ret result = lzma_code(&stream, LZMA_FINISH);
    out.resize(stream.total_out);
    lzma_end(&stream);
    if (result != LZMA_STREAM_END)
        throw std::runtime_error("lzma failed");
    return out.substr(0, 5) + out.substr(13);
}

} // namespace

SwfWriter::SwfWriter(int widthPixels, int heightPixels, double frameRate, std::uint8_t version)
    : version_(version), stage_{0, widthPixels * 20, 0, heightPixels * 20}, frameRate_(frameRate)
{
}

void SwfWriter::tag(std::uint16_t code, const std::string& body)
{
    BitWriter w;
    if (body.size() < 0x3F) {
        w.u16(std::uint32_t(code) << 6 | std::uint32_t(body.size()));
    } else {
        w.u16(std::uint32_t(code) << 6 | 0x3F);
        w.u32(std::uint32_t(body.size()));
    }
    w.raw(body);
    out() += w.take();
}

void SwfWriter::setBackground(Rgba c)
{
    BitWriter w;
    color(w, c, false);
    tag(9, w.take());
}

void SwfWriter::defineShape(std::uint16_t id, int shapeVersion, const Rect& bounds, const Drawing& drawing)
{
    BitWriter w;
    w.u16(id);
    rect(w, bounds);
    if (shapeVersion >= 4) {
        rect(w, bounds);
        w.u8(0);
    }
    styleCount(w, drawing.fills.size());
    for (const auto& f : drawing.fills)
        fillStyle(w, f, shapeVersion);
    styleCount(w, drawing.lines.size());
    for (const auto& l : drawing.lines)
        lineStyle(w, l, shapeVersion);
    records(w, drawing.steps, drawing.fills.size(), drawing.lines.size());
    static constexpr std::uint16_t codes[] = {2, 22, 32, 83};
    tag(codes[std::clamp(shapeVersion, 1, 4) - 1], w.take());
}

void SwfWriter::defineRectangle(std::uint16_t id, const Rect& r, const FillStyle& fill, std::optional<LineStyle> line)
{
    Drawing d;
    d.fills = {fill};
    if (line)
        d.lines = {*line};
    d.steps = {Styles{0, 1, line ? 1u : 0u}, MoveTo{r.xMin, r.yMin}, LineTo{r.xMax, r.yMin},
               LineTo{r.xMax, r.yMax},       LineTo{r.xMin, r.yMax}, LineTo{r.xMin, r.yMin}};
    const bool needs4 = line
                        && (line->fill.kind != FillStyle::Kind::Solid || line->join != LineStyle::Join::Round
                            || line->startCap != LineStyle::Cap::Round);
    defineShape(id, needs4 ? 4 : 3, r, d);
}

void SwfWriter::defineLosslessBitmap(std::uint16_t id, int width, int height, const std::vector<std::uint32_t>& argb)
{
    std::string pixels;
    for (const std::uint32_t p : argb)
        pixels += {char(p >> 24), char(p >> 16), char(p >> 8), char(p)};
    BitWriter w;
    w.u16(id);
    w.u8(5);
    w.u16(std::uint32_t(width));
    w.u16(std::uint32_t(height));
    w.raw(zlibCompressed(pixels));
    tag(36, w.take());
}

void SwfWriter::defineColorMappedBitmap(std::uint16_t id, int width, int height, const std::vector<Rgba>& palette,
                                        const std::vector<std::uint8_t>& indices)
{
    std::string data;
    for (const Rgba c : palette)
        data += {char(c.r), char(c.g), char(c.b)};
    const int stride = (width + 3) & ~3;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < stride; ++x)
            data += char(x < width ? indices[std::size_t(y * width + x)] : 0);
    BitWriter w;
    w.u16(id);
    w.u8(3);
    w.u16(std::uint32_t(width));
    w.u16(std::uint32_t(height));
    w.u8(std::uint32_t(palette.size() - 1));
    w.raw(zlibCompressed(data));
    tag(20, w.take());
}

void SwfWriter::defineJpeg(std::uint16_t id, const std::string& file, const std::string& alpha)
{
    BitWriter w;
    w.u16(id);
    if (!alpha.empty())
        w.u32(std::uint32_t(file.size()));
    w.raw(file);
    if (!alpha.empty())
        w.raw(zlibCompressed(alpha));
    tag(alpha.empty() ? 21 : 35, w.take());
}

void SwfWriter::defineJpegWithSharedTables(std::uint16_t id, const std::string& file)
{
    // Tables: every segment before the first frame header; image: the rest, each with its own
    // start and end markers as encoders write them.
    std::size_t at = 2;
    while (at + 4 <= file.size() && std::uint8_t(file[at + 1]) != 0xC0 && std::uint8_t(file[at + 1]) != 0xC2)
        at += 2 + (std::size_t(std::uint8_t(file[at + 2])) << 8 | std::uint8_t(file[at + 3]));
    const std::string soi("\xFF\xD8", 2), eoi("\xFF\xD9", 2);
    tag(8, file.substr(0, at) + eoi);
    BitWriter w;
    w.u16(id);
    w.raw(soi + file.substr(at));
    tag(6, w.take());
}

void SwfWriter::defineFont(std::uint16_t id, const std::vector<std::vector<Step>>& glyphs, const std::u16string& codes)
{
    std::vector<std::string> shapes;
    for (const auto& glyph : glyphs) {
        BitWriter g;
        records(g, glyph, 1, 0);
        shapes.push_back(g.take());
    }
    BitWriter w;
    w.u16(id);
    w.u8(0x08 | 0x04); // wide offsets, wide codes
    w.u8(0);
    w.u8(0); // no name
    w.u16(std::uint32_t(glyphs.size()));
    std::uint32_t offset = std::uint32_t(glyphs.size() + 1) * 4;
    for (const auto& shape : shapes) {
        w.u32(offset);
        offset += std::uint32_t(shape.size());
    }
    w.u32(offset); // the code table follows the glyphs
    for (const auto& shape : shapes)
        w.raw(shape);
    for (std::size_t i = 0; i < glyphs.size(); ++i)
        w.u16(i < codes.size() ? codes[i] : std::uint32_t(i));
    tag(48, w.take());
}

void SwfWriter::defineText(std::uint16_t id, const Rect& bounds, std::uint16_t fontId, std::uint16_t height, Rgba c,
                           std::int32_t x, std::int32_t y, const std::vector<Glyph>& glyphs)
{
    int glyphBits = 1, advanceBits = 1;
    for (const auto& g : glyphs) {
        glyphBits = std::max(glyphBits, unsignedBits(g.index));
        advanceBits = std::max(advanceBits, signedBits({g.advance}));
    }
    BitWriter w;
    w.u16(id);
    rect(w, bounds);
    matrix(w, Matrix{});
    w.u8(std::uint32_t(glyphBits));
    w.u8(std::uint32_t(advanceBits));
    w.u8(0x80 | 0x08 | 0x04 | 0x02 | 0x01);
    w.u16(fontId);
    color(w, c, true);
    w.u16(std::uint32_t(std::uint16_t(x)));
    w.u16(std::uint32_t(std::uint16_t(y)));
    w.u16(height);
    w.u8(std::uint32_t(glyphs.size()));
    for (const auto& g : glyphs) {
        w.ub(g.index, glyphBits);
        w.sb(g.advance, advanceBits);
    }
    w.align();
    w.u8(0);
    tag(33, w.take());
}

void SwfWriter::defineMorphShape(std::uint16_t id, const FillStyle& startFill, const FillStyle& endFill,
                                 const std::vector<Step>& start, const std::vector<Step>& end)
{
    BitWriter styles;
    styles.u8(1);
    if (startFill.kind == FillStyle::Kind::Solid) {
        styles.u8(0x00);
        color(styles, startFill.color, true);
        color(styles, endFill.color, true);
    } else {
        styles.u8(startFill.kind == FillStyle::Kind::LinearGradient ? 0x10 : 0x12);
        matrix(styles, startFill.matrix);
        matrix(styles, endFill.matrix);
        styles.u8(std::uint32_t(startFill.gradient.stops.size()));
        for (std::size_t i = 0; i < startFill.gradient.stops.size(); ++i) {
            styles.u8(startFill.gradient.stops[i].ratio);
            color(styles, startFill.gradient.stops[i].color, true);
            styles.u8(endFill.gradient.stops[i].ratio);
            color(styles, endFill.gradient.stops[i].color, true);
        }
    }
    styles.u8(0); // no line styles
    BitWriter startEdges;
    records(startEdges, start, 1, 0);
    BitWriter endEdges;
    records(endEdges, end, 0, 0);
    const std::string head = styles.take() + startEdges.take();
    BitWriter w;
    w.u16(id);
    rect(w, {-20000, 20000, -20000, 20000});
    rect(w, {-20000, 20000, -20000, 20000});
    w.u32(std::uint32_t(head.size()));
    w.raw(head);
    w.raw(endEdges.take());
    tag(46, w.take());
}

void SwfWriter::defineEditText(std::uint16_t id, const TextField& field)
{
    BitWriter w;
    w.u16(id);
    rect(w, field.bounds);
    // text, wrapped lines, read-only, colour, font; layout, border, HTML, outlines
    w.u8(0x80 | (field.wordWrap ? 0x40 | 0x20 : 0) | 0x08 | 0x04 | 0x01);
    w.u8(0x20 | (field.autoSize ? 0x40 : 0) | (field.border ? 0x08 : 0) | (field.html ? 0x02 : 0)
         | (field.outlines ? 0x01 : 0));
    w.u16(field.fontId);
    w.u16(field.height);
    color(w, field.color, true);
    w.u8(static_cast<std::uint32_t>(field.align));
    for (int i = 0; i < 4; ++i)
        w.u16(0); // margins, indent, leading
    w.raw(field.variable + '\0');
    w.raw(field.text + '\0');
    tag(37, w.take());
}

std::string SwfWriter::Actions::gotoFrame(std::uint16_t frame)
{
    BitWriter w;
    w.u8(0x81);
    w.u16(2);
    w.u16(frame);
    return w.take();
}

std::string SwfWriter::Actions::gotoLabel(const std::string& label)
{
    BitWriter w;
    w.u8(0x8C);
    w.u16(std::uint32_t(label.size() + 1));
    w.raw(label + '\0');
    return w.take();
}

std::string SwfWriter::Actions::getUrl(const std::string& address, const std::string& target)
{
    BitWriter w;
    w.u8(0x83);
    w.u16(std::uint32_t(address.size() + target.size() + 2));
    w.raw(address + '\0' + target + '\0');
    return w.take();
}

std::string SwfWriter::Actions::push(const std::string& text)
{
    BitWriter w;
    w.u8(0x96);
    w.u16(std::uint32_t(text.size() + 2));
    w.u8(0);
    w.raw(text + '\0');
    return w.take();
}

void SwfWriter::doAction(const std::string& actions)
{
    tag(12, actions + '\0');
}

void SwfWriter::frameLabel(const std::string& name)
{
    tag(43, name + '\0');
}

void SwfWriter::exportAssets(std::uint16_t id, const std::string& name)
{
    BitWriter w;
    w.u16(1);
    w.u16(id);
    w.raw(name + '\0');
    tag(56, w.take());
}

void SwfWriter::defineScalingGrid(std::uint16_t id, const Rect& grid)
{
    BitWriter w;
    w.u16(id);
    rect(w, grid);
    tag(78, w.take());
}

void SwfWriter::defineButton(std::uint16_t id, const std::vector<ButtonPart>& parts, const std::string& onRelease,
                             const std::string& onPress)
{
    std::vector<ButtonCondition> conditions;
    if (!onPress.empty())
        conditions.push_back({0x04, onPress}); // over, up, to over, down: pressed
    conditions.push_back({0x08, onRelease});   // over, down, to over, up: released
    defineButton(id, parts, conditions);
}

void SwfWriter::defineButton(std::uint16_t id, const std::vector<ButtonPart>& parts,
                             const std::vector<ButtonCondition>& conditions)
{
    BitWriter records;
    for (const ButtonPart& part : parts) {
        const bool blends = part.blendMode != BlendMode::Normal;
        records.u8(part.states | (part.filters.empty() ? 0 : 0x10) | (blends ? 0x20 : 0));
        records.u16(part.characterId);
        records.u16(part.depth);
        matrix(records, part.matrix);
        colorTransform(records, ColorTransform{});
        if (!part.filters.empty())
            filters(records, part.filters);
        if (blends)
            records.u8(std::uint8_t(part.blendMode));
    }
    records.u8(0);
    const std::string characters = records.take();
    BitWriter w;
    w.u16(id);
    w.u8(0);
    w.u16(std::uint32_t(characters.size() + 2)); // from this field to the actions
    w.raw(characters);
    for (std::size_t i = 0; i < conditions.size(); ++i) {
        const bool last = i + 1 == conditions.size();
        w.u16(last ? 0 : std::uint32_t(4 + conditions[i].actions.size() + 1)); // to the next condition
        w.u8(conditions[i].transitions);
        w.u8(0);
        w.raw(conditions[i].actions + '\0');
    }
    tag(34, w.take());
}

void SwfWriter::place(const Placement& p)
{
    BitWriter w;
    w.u8((p.move ? 0x01 : 0) | (p.characterId ? 0x02 : 0) | (p.matrix ? 0x04 : 0) | (p.colorTransform ? 0x08 : 0)
         | (p.ratio ? 0x10 : 0) | (p.name ? 0x20 : 0) | (p.clipDepth ? 0x40 : 0) | (p.clipActions.empty() ? 0 : 0x80));
    const std::uint8_t flags3 = (p.filters ? 0x01 : 0) | (p.blendMode ? 0x02 : 0) | (p.cacheAsBitmap ? 0x04 : 0)
                                | (p.visible ? 0x20 : 0) | (p.opaqueBackground ? 0x40 : 0);
    if (flags3)
        w.u8(flags3);
    w.u16(p.depth);
    if (p.characterId)
        w.u16(*p.characterId);
    if (p.matrix)
        matrix(w, *p.matrix);
    if (p.colorTransform)
        colorTransform(w, *p.colorTransform);
    if (p.ratio)
        w.u16(*p.ratio);
    if (p.name)
        w.raw(*p.name + '\0');
    if (p.clipDepth)
        w.u16(*p.clipDepth);
    if (p.filters)
        filters(w, *p.filters);
    if (p.blendMode)
        w.u8(std::uint8_t(*p.blendMode));
    if (p.cacheAsBitmap)
        w.u8(*p.cacheAsBitmap);
    if (p.visible)
        w.u8(*p.visible);
    if (p.opaqueBackground)
        color(w, *p.opaqueBackground, true);
    if (!p.clipActions.empty()) {
        // Event flags take two bytes up to version 5 and four from 6, the "all events" union
        // first; a zero where the next event would be ends the list.
        const auto events = [&](std::uint32_t bits) { version_ >= 6 ? w.u32(bits) : w.u16(bits); };
        std::uint32_t all = 0;
        for (const Placement::ClipEvent& event : p.clipActions)
            all |= event.events;
        w.u16(0); // reserved
        events(all);
        for (const Placement::ClipEvent& event : p.clipActions) {
            events(event.events);
            w.u32(std::uint32_t(event.actions.size() + 1));
            w.raw(event.actions + '\0');
        }
        events(0);
    }
    tag(flags3 ? 70 : 26, w.take());
}

void SwfWriter::remove(std::uint16_t depth)
{
    BitWriter w;
    w.u16(depth);
    tag(28, w.take());
}

void SwfWriter::showFrame()
{
    tag(1, {});
    ++(sprite_ ? spriteFrames_ : frames_);
}

void SwfWriter::beginSprite(std::uint16_t id)
{
    sprite_ = id;
    spriteTags_.clear();
    spriteFrames_ = 0;
}

void SwfWriter::endSprite()
{
    tag(0, {});
    BitWriter w;
    w.u16(*sprite_);
    w.u16(spriteFrames_);
    w.raw(spriteTags_);
    sprite_.reset();
    tag(39, w.take());
}

std::string SwfWriter::finish(Compression compression)
{
    BitWriter header;
    rect(header, stage_);
    header.u16(std::uint32_t(std::lround(frameRate_ * 256)));
    header.u16(frames_);
    std::string body = header.take() + tags_;
    body += std::string("\0\0", 2); // End
    const auto fileLength = std::uint32_t(body.size() + 8);
    BitWriter file;
    file.raw(compression == Compression::None ? "FWS" : compression == Compression::Zlib ? "CWS" : "ZWS");
    file.u8(version_);
    file.u32(fileLength);
    if (compression == Compression::None) {
        file.raw(body);
    } else if (compression == Compression::Zlib) {
        file.raw(zlibCompressed(body));
    } else {
        const std::string lzma = lzmaCompressed(body);
        file.u32(std::uint32_t(lzma.size() - 5));
        file.raw(lzma);
    }
    return file.take();
}

} // namespace quillmere::swf
