#pragma once

// What the BitmapData class's methods share: a script's bitmap, its pixels as scripts give and
// read them, and the rectangles they name.

#include <functional>
#include <memory>

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

// sourceRect's pixels of `from` against where they land in `to` from destPoint: calls
// visit(source pixel, destination pixel&) for each that lands inside. The source is read as it
// was before, even when the two are one bitmap. False when the point is not a number, or when
// either bitmap is disposed before the pixels are reached.
bool eachLanding(avm1::Machine& machine, const BitmapObject& from, const avm1::Value& sourceRect,
                 const avm1::Value& destPoint, BitmapObject& to,
                 const std::function<void(std::uint32_t, std::uint32_t&)>& visit);

// Counts the pixels a method works through against what a frame may paint: past them, the
// frame's scripts stop. A machine without a player (as in tests) counts nothing.
void spendPixels(avm1::Machine& machine, std::size_t pixels);

// threshold, copyChannel, merge, paletteMap, floodFill and getColorBoundsRect.
void installBitmapPixelMethods(avm1::Machine& machine, avm1::Object* prototype);

} // namespace quillmere::swf
