#pragma once

#include <cstdint>
#include <cstring>

#include "swf/qt/paint.h"

namespace quillmere::swf::qt {

// A value of 0 or more, rounded to the nearest whole: what lround gives, without its cost in a
// loop over pixels.
[[gnu::always_inline]] inline Pixel rounded(float v)
{
    return Pixel(v + 0.5f);
}

// `source` over `destination`, both premultiplied: two channels at a time, 8 bits apart, each
// times (255 - source alpha) / 255 rounded.
[[gnu::always_inline]] inline Pixel over(Pixel source, Pixel destination)
{
    const std::uint32_t alpha = source >> 24;
    if (alpha == 255)
        return source;
    const std::uint32_t keep = 255 - alpha;
    const auto scaled = [keep](std::uint32_t pair) {
        pair *= keep;
        return ((pair + ((pair >> 8) & 0x00FF00FFu) + 0x00800080u) >> 8) & 0x00FF00FFu;
    };
    return source + (scaled(destination & 0x00FF00FFu) | scaled((destination >> 8) & 0x00FF00FFu) << 8);
}

namespace blend_detail {
// Four pixels, or their eight pairs of channels, one a 16-bit lane.
using Pixels = Pixel __attribute__((vector_size(16)));
using Channels = std::uint16_t __attribute__((vector_size(16)));
constexpr int kLanes = sizeof(Pixels) / sizeof(Pixel);

[[gnu::always_inline]] inline Pixels load(const Pixel* p)
{
    Pixels v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

[[gnu::always_inline]] inline void store(Pixel* p, Pixels v)
{
    std::memcpy(p, &v, sizeof v);
}

// As over() above, four pixels at a time, with no branch: a channel times (255 - alpha) fits a
// 16-bit lane, and an opaque source keeps nothing of the destination.
[[gnu::always_inline]] inline Pixels over(Pixels source, Pixels destination)
{
    const Pixels keep = 255 - (source >> 24);
    const auto keepEach = Channels(keep | keep << 16);
    const auto scaled = [keepEach](Pixels pair) {
        Channels c = Channels(pair) * keepEach;
        c = (c + (c >> 8) + 0x80) >> 8;
        return Pixels(c);
    };
    return source + (scaled(destination & 0x00FF00FFu) | scaled((destination >> 8) & 0x00FF00FFu) << 8);
}
} // namespace blend_detail

// `count` pixels of `colors` over those of `row`.
inline void overRow(Pixel* row, const Pixel* colors, int count)
{
    using namespace blend_detail;
    int i = 0;
    for (; i + kLanes <= count; i += kLanes)
        store(row + i, over(load(colors + i), load(row + i)));
    for (; i < count; ++i)
        row[i] = over(colors[i], row[i]);
}

// One colour over `count` pixels of `row`.
inline void overRow(Pixel* row, Pixel color, int count)
{
    using namespace blend_detail;
    const Pixels colors = color - Pixels{}; // in every lane
    int i = 0;
    for (; i + kLanes <= count; i += kLanes)
        store(row + i, over(colors, load(row + i)));
    for (; i < count; ++i)
        row[i] = over(color, row[i]);
}

inline void fillRow(Pixel* row, Pixel color, int count)
{
    using namespace blend_detail;
    const Pixels colors = color - Pixels{};
    int i = 0;
    for (; i + kLanes <= count; i += kLanes)
        store(row + i, colors);
    for (; i < count; ++i)
        row[i] = color;
}

} // namespace quillmere::swf::qt
