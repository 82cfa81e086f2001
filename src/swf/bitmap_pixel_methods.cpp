// BitmapData's methods that work pixel by pixel on channels: thresholds, channel copies,
// merges, palettes, flood fills and colour bounds.

#include <algorithm>
#include <array>
#include <cmath>

#include "swf/bitmap_object.h"
#include "swf/script_clip.h"

namespace quillmere::swf {

namespace {

using namespace avm1; // the natives' helpers, and the values they take

// Channel flags as scripts name them, and where each lies in 0xAARRGGBB.
int shiftOf(std::uint32_t channel)
{
    switch (channel) {
    case 1: return 16;
    case 2: return 8;
    case 4: return 0;
    case 8: return 24;
    default: return -1;
    }
}

// Runs `change` on the straight colours of each pixel sourceRect's pixels of the first argument
// land on, from destPoint on; the bitmap is shown anew.
template <typename Change>
Value landing(Machine& m, const Value& self, const Arguments& a, Change change)
{
    BitmapObject* to = bitmapOf(self);
    BitmapObject* from = bitmapOf(argument(a, 0));
    if (!to || !from)
        return Undefined{};
    const bool transparent = to->transparent;
    eachLanding(m, *from, argument(a, 1), argument(a, 2), *to, [&](std::uint32_t source, std::uint32_t& pixel) {
        pixel = stored(change(unstored(source), unstored(pixel)), transparent);
    });
    to->changed();
    return Undefined{};
}

} // namespace

void installBitmapPixelMethods(Machine& m, Object* prototype)
{
    // threshold(source, sourceRect, destPoint, operation, threshold, color, mask, copySource):
    // where the source's pixel, masked, compares so with the threshold, masked, `color`; else
    // the source's pixel if copySource, else the pixel as it was. Gives how many matched.
    m.defineMethod(prototype, "threshold", [](Machine& m, Value self, Arguments& a) -> Value {
        const std::string operation = m.toString(argument(a, 3));
        const std::uint32_t mask = a.size() > 6 ? argbOf(m, a[6]) : 0xFFFFFFFF;
        const std::uint32_t level = argbOf(m, argument(a, 4)) & mask, color = argbOf(m, argument(a, 5));
        const bool copySource = m.conversions().toBoolean(argument(a, 7));
        const auto compare = [&operation](std::uint32_t v, std::uint32_t t) {
            if (operation == "<")
                return v < t;
            if (operation == "<=")
                return v <= t;
            if (operation == ">")
                return v > t;
            if (operation == ">=")
                return v >= t;
            if (operation == "==")
                return v == t;
            return operation == "!=" && v != t;
        };
        double matched = 0;
        landing(m, self, a, [&](std::uint32_t source, std::uint32_t pixel) {
            if (compare(source & mask, level)) {
                ++matched;
                return color;
            }
            return copySource ? source : pixel;
        });
        return matched;
    });
    // copyChannel(source, sourceRect, destPoint, sourceChannel, destChannel)
    m.defineMethod(prototype, "copyChannel", [](Machine& m, Value self, Arguments& a) -> Value {
        const int from = shiftOf(argbOf(m, argument(a, 3))), to = shiftOf(argbOf(m, argument(a, 4)));
        if (from < 0 || to < 0)
            return Undefined{};
        return landing(m, self, a, [from, to](std::uint32_t source, std::uint32_t pixel) {
            return (pixel & ~(0xFFu << to)) | ((source >> from) & 0xFF) << to;
        });
    });
    // merge(source, sourceRect, destPoint, red, green, blue, alpha): each channel mixed,
    // the source's share out of 256.
    m.defineMethod(prototype, "merge", [](Machine& m, Value self, Arguments& a) -> Value {
        std::array<std::uint32_t, 4> shares{}; // by shift: blue, green, red, alpha
        for (std::size_t i = 0; i < 4; ++i) {
            const double v = m.toNumber(argument(a, 3 + i));
            shares[std::size_t(shiftOf(1u << i) / 8)] = std::isfinite(v) ? std::uint32_t(std::clamp(v, 0.0, 256.0)) : 0;
        }
        return landing(m, self, a, [&shares](std::uint32_t source, std::uint32_t pixel) {
            std::uint32_t out = 0;
            for (int shift = 0; shift < 32; shift += 8) {
                const std::uint32_t share = shares[std::size_t(shift / 8)];
                out |= (((source >> shift) & 0xFF) * share + ((pixel >> shift) & 0xFF) * (256 - share)) / 256 << shift;
            }
            return out;
        });
    });
    // paletteMap(source, sourceRect, destPoint, reds, greens, blues, alphas): each channel's
    // value looks up its array, and the four found are added; a channel without an array
    // keeps its value.
    m.defineMethod(prototype, "paletteMap", [](Machine& m, Value self, Arguments& a) -> Value {
        std::array<std::optional<std::array<std::uint32_t, 256>>, 4> maps; // red, green, blue, alpha
        for (std::size_t i = 0; i < 4; ++i) {
            const Value list = argument(a, 3 + i);
            if (!objectIn(list))
                continue;
            maps[i].emplace();
            for (std::size_t level = 0; level < 256; ++level)
                (*maps[i])[level] = argbOf(m, m.member(list, std::to_string(level)));
        }
        return landing(m, self, a, [&maps](std::uint32_t source, std::uint32_t) {
            std::uint32_t out = 0;
            for (std::size_t i = 0; i < 4; ++i) {
                const int shift = shiftOf(1u << i);
                const std::uint32_t level = (source >> shift) & 0xFF;
                out += maps[i] ? (*maps[i])[level] : level << shift;
            }
            return out;
        });
    });
    // floodFill(x, y, color): the pixels of the same colour reached from (x, y) without a
    // diagonal step.
    m.defineMethod(prototype, "floodFill", [](Machine& m, Value self, Arguments& a) -> Value {
        const double x = m.toNumber(argument(a, 0)), y = m.toNumber(argument(a, 1));
        const std::uint32_t argb = argbOf(m, argument(a, 2));
        BitmapObject* object = bitmapOf(self); // after the conversions, which may dispose it
        if (!object || !(x >= 0 && x < object->bitmap->width && y >= 0 && y < object->bitmap->height))
            return Undefined{};
        Bitmap& bitmap = *object->bitmap;
        const std::uint32_t fill = stored(argb, object->transparent);
        const std::size_t start = std::size_t(y) * bitmap.width + std::size_t(x);
        const std::uint32_t replaced = bitmap.argb[start];
        if (replaced == fill)
            return Undefined{};
        std::vector<std::size_t> pending{start};
        std::size_t filled = 1; // what it costs is known only once it is done
        bitmap.argb[start] = fill;
        while (!pending.empty()) {
            const std::size_t at = pending.back();
            pending.pop_back();
            const std::size_t column = at % bitmap.width;
            const auto reach = [&](std::size_t next) {
                if (bitmap.argb[next] == replaced) {
                    bitmap.argb[next] = fill;
                    pending.push_back(next);
                    ++filled;
                }
            };
            if (column > 0)
                reach(at - 1);
            if (column + 1 < bitmap.width)
                reach(at + 1);
            if (at >= bitmap.width)
                reach(at - bitmap.width);
            if (at + bitmap.width < bitmap.argb.size())
                reach(at + bitmap.width);
        }
        object->changed();
        spendPixels(m, filled);
        return Undefined{};
    });
    // getColorBoundsRect(mask, color, findColor): the smallest rectangle round the pixels whose
    // masked colour is `color` (or, when findColor is false, is not).
    m.defineMethod(prototype, "getColorBoundsRect", [](Machine& m, Value self, Arguments& a) -> Value {
        const std::uint32_t mask = argbOf(m, argument(a, 0)), color = argbOf(m, argument(a, 1)) & mask;
        const bool find = a.size() < 3 || m.conversions().toBoolean(a[2]);
        const BitmapObject* object = bitmapOf(self); // after the conversions, which may dispose it
        if (!object)
            return Undefined{};
        const Bitmap& bitmap = *object->bitmap;
        spendPixels(m, bitmap.argb.size());
        std::uint32_t x0 = bitmap.width, y0 = bitmap.height, x1 = 0, y1 = 0;
        for (std::uint32_t y = 0; y < bitmap.height; ++y)
            for (std::uint32_t x = 0; x < bitmap.width; ++x)
                if (((unstored(bitmap.argb[std::size_t(y) * bitmap.width + x]) & mask) == color) == find) {
                    x0 = std::min(x0, x);
                    y0 = std::min(y0, y);
                    x1 = std::max(x1, x + 1);
                    y1 = std::max(y1, y + 1);
                }
        return makeRectangle(m, x0 >= x1 ? Box{} : Box{double(x0), double(y0), double(x1), double(y1)});
    });
}

} // namespace quillmere::swf
