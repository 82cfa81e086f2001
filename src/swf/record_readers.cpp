#include "swf/record_readers.h"

#include "swf/format_error.h"
#include "swf/inflate.h"
#include "swf/limits.h"

namespace quillmere::swf {

void Budget::spendRecords(std::size_t count)
{
    records_ += count;
    if (records_ > kMaxMovieRecords)
        throw LimitExceeded("more than " + std::to_string(kMaxMovieRecords) + " shape records and display commands");
}

void Budget::spendPixels(std::uint64_t width, std::uint64_t height)
{
    if (width == 0 || height == 0 || width > kMaxBitmapSide || height > kMaxBitmapSide)
        throw LimitExceeded("bitmap of " + std::to_string(width) + " x " + std::to_string(height) + " pixels");
    pixels_ += width * height;
    if (pixels_ > kMaxBitmapPixels)
        throw LimitExceeded("bitmaps of more than " + std::to_string(kMaxBitmapPixels) + " pixels in all");
}

Rect readRect(ByteReader& in)
{
    const int bits = static_cast<int>(in.ub(5));
    Rect rect;
    rect.xMin = in.sb(bits);
    rect.xMax = in.sb(bits);
    rect.yMin = in.sb(bits);
    rect.yMax = in.sb(bits);
    in.align();
    return rect;
}

Matrix readMatrix(ByteReader& in)
{
    Matrix m;
    if (in.flag()) {
        const int bits = static_cast<int>(in.ub(5));
        m.a = in.fb(bits);
        m.d = in.fb(bits);
    }
    if (in.flag()) {
        const int bits = static_cast<int>(in.ub(5));
        m.b = in.fb(bits);
        m.c = in.fb(bits);
    }
    const int bits = static_cast<int>(in.ub(5));
    m.tx = in.sb(bits);
    m.ty = in.sb(bits);
    in.align();
    return m;
}

ColorTransform readColorTransform(ByteReader& in, bool withAlpha)
{
    ColorTransform cx;
    const bool hasAdd = in.flag();
    const bool hasMult = in.flag();
    const int bits = static_cast<int>(in.ub(4));
    const int channels = withAlpha ? 4 : 3;
    if (hasMult)
        for (int i = 0; i < channels; ++i)
            cx.mult[i] = in.sb(bits) / 256.0;
    if (hasAdd)
        for (int i = 0; i < channels; ++i)
            cx.add[i] = in.sb(bits);
    in.align();
    return cx;
}

Rgba readRgb(ByteReader& in)
{
    const std::uint8_t r = in.u8(), g = in.u8(), b = in.u8();
    return {r, g, b, 255};
}

Rgba readRgba(ByteReader& in)
{
    const std::uint8_t r = in.u8(), g = in.u8(), b = in.u8(), a = in.u8();
    return {r, g, b, a};
}

std::string inflateExactly(std::string_view compressed, std::size_t size)
{
    std::string out = inflateAtMost(compressed, size);
    if (out.size() != size)
        throw FormatError("bitmap data of " + std::to_string(out.size()) + " bytes where " + std::to_string(size)
                          + " belong");
    return out;
}

} // namespace quillmere::swf

namespace quillmere::swf {

Place readPlace1(ByteReader& in)
{
    Place place;
    place.characterId = in.u16();
    place.depth = in.u16();
    place.matrix = readMatrix(in);
    if (!in.atEnd())
        place.colorTransform = readColorTransform(in, false);
    return place;
}

namespace {

// The events of a clip action: two bytes up to version 5, four from 6.
std::uint32_t readClipEvents(ByteReader& in, std::uint8_t movieVersion)
{
    return movieVersion <= 5 ? in.u16() : in.u32();
}

std::vector<ClipAction> readClipActions(ByteReader& in, std::uint8_t movieVersion, Budget& budget)
{
    std::vector<ClipAction> actions;
    in.u16();                         // reserved
    readClipEvents(in, movieVersion); // all the events below, together
    while (!in.atEnd()) {
        ClipAction action;
        action.events = readClipEvents(in, movieVersion);
        if (action.events == 0)
            break;
        ByteReader body = in.sub(std::min<std::size_t>(in.u32(), in.remaining()));
        if (action.events & (1u << 17))
            body.u8(); // the key of a key press, which a banner is never sent
        action.actions = readActions(body, budget);
        actions.push_back(std::move(action));
    }
    return actions;
}

} // namespace

Place readPlace2(ByteReader& in, bool place3, std::uint8_t movieVersion, Budget& budget)
{
    Place place;
    const std::uint8_t flags = in.u8();
    const std::uint8_t flags3 = place3 ? in.u8() : 0;
    place.depth = in.u16();
    place.move = flags & 0x01;
    const bool hasCharacter = flags & 0x02;
    // A class name only where its own flag says so: a placement that marks an image and a
    // character holds none, whatever the format's description suggests, and players read it so.
    if (flags3 & 0x08)
        in.string();
    if (hasCharacter)
        place.characterId = in.u16();
    if (flags & 0x04)
        place.matrix = readMatrix(in);
    if (flags & 0x08)
        place.colorTransform = readColorTransform(in, true);
    if (flags & 0x10)
        place.ratio = in.u16();
    if (flags & 0x20)
        place.name = in.string();
    if (flags & 0x40)
        place.clipDepth = in.u16();
    if (flags3 & 0x01) {
        try {
            place.filters = readFilters(in);
        } catch (const FormatError&) {
            return place; // what follows the filters cannot be found; the object is placed as it is
        }
    }
    if (flags3 & 0x02)
        place.blendMode = readBlendMode(in);
    if (flags3 & 0x04)
        place.cacheAsBitmap = in.u8() != 0;
    if (flags3 & 0x20)
        place.visible = in.u8() != 0;
    if (flags3 & 0x40)
        place.opaqueBackground = readRgba(in);
    if (flags & 0x80) {
        try {
            place.clipActions = readClipActions(in, movieVersion, budget);
        } catch (const FormatError&) {
            // Cut short: the events read so far run.
        }
    }
    return place;
}

} // namespace quillmere::swf
