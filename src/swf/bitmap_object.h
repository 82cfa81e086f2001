#pragma once

// What the BitmapData class's methods share: a script's bitmap, its pixels as scripts give and
// read them, and the rectangles they name.

#include <memory>
#include <optional>
#include <vector>

#include "swf/avm1/machine.h"
#include "swf/avm1/natives.h"
#include "swf/movie.h"

namespace quillmere::swf {

// A BitmapData's object: its pixels, shared with the clips that show them.
class BitmapObject : public avm1::Object {
public:
    using Object::Object;
    // Null once disposed. A method that runs a script (a valueOf, a getter) holds its own copy
    // while it works, since the script may dispose it; the last holder gives the bytes back.
    std::shared_ptr<Bitmap> bitmap;
    bool transparent = true;

    // Gives the pixels a new serial, so that whatever shows them draws them anew.
    void changed();
};

// The bitmap a script's value holds, if it holds one that is not disposed.
BitmapObject* bitmapOf(const avm1::Value& value);

// A colour as scripts give it: 0xAARRGGBB.
std::uint32_t argbOf(avm1::Machine& machine, const avm1::Value& value);

// Premultiplied, as bitmaps hold their pixels; opaque where the bitmap has no alpha.
std::uint32_t stored(std::uint32_t argb, bool transparent);
// Back to 0xAARRGGBB, as scripts read pixels.
std::uint32_t unstored(std::uint32_t pixel);

// A Rectangle's pixels within a bitmap, as [x0, x1) by [y0, y1). A negative width or height
// reaches back from x or y.
struct Span {
    std::uint32_t x0 = 0, y0 = 0, x1 = 0, y1 = 0;
    std::size_t pixels() const { return std::size_t(x1 - x0) * (y1 - y0); }
};
Span within(avm1::Machine& machine, const avm1::Value& rectangle, const Bitmap& bitmap);

// Where sourceRect's pixels of `from` land in `to` from destPoint, with both bitmaps held: the
// conversions may run a script that disposes either. The source is kept as it was before, even
// when the two are one bitmap. None when the point is not a number, or when either bitmap is
// disposed before the pixels are reached.
struct Landing {
    std::shared_ptr<const Bitmap> from;
    std::shared_ptr<Bitmap> to;
    std::vector<std::uint32_t> before; // the source, when `to` is `from`
    Span span;
    double dx = 0, dy = 0;
};
std::optional<Landing> landingOf(avm1::Machine& machine, const BitmapObject& from, const avm1::Value& sourceRect,
                                 const avm1::Value& destPoint, BitmapObject& to);

// Calls visit(source pixel, destination pixel&) for each pixel of sourceRect that lands inside
// `to`; false when none can (see landingOf). A template, so that the visit is inlined in the
// loop that copies whole bitmaps.
template <typename Visit>
bool eachLanding(avm1::Machine& machine, const BitmapObject& fromObject, const avm1::Value& sourceRect,
                 const avm1::Value& destPoint, BitmapObject& toObject, Visit visit)
{
    std::optional<Landing> landing = landingOf(machine, fromObject, sourceRect, destPoint, toObject);
    if (!landing)
        return false;
    const Bitmap& from = *landing->from;
    Bitmap& to = *landing->to;
    const std::vector<std::uint32_t>& source = landing->from == landing->to ? landing->before : from.argb;
    const Span span = landing->span;
    for (std::uint32_t y = span.y0; y < span.y1; ++y) {
        const double ty = y + landing->dy;
        if (ty < 0 || ty >= to.height)
            continue;
        for (std::uint32_t x = span.x0; x < span.x1; ++x) {
            const double tx = x + landing->dx;
            if (tx >= 0 && tx < to.width)
                visit(source[std::size_t(y) * from.width + x], to.argb[std::size_t(ty) * to.width + std::size_t(tx)]);
        }
    }
    return true;
}

// Counts the pixels a method works through against what a frame may paint: past them, the
// frame's scripts stop. A machine without a player (as in tests) counts nothing.
void spendPixels(avm1::Machine& machine, std::size_t pixels);

// threshold, copyChannel, merge, paletteMap, floodFill and getColorBoundsRect.
void installBitmapPixelMethods(avm1::Machine& machine, avm1::Object* prototype);

} // namespace quillmere::swf
