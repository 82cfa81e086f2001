#include "swf/qt/blend_modes.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "swf/qt/blend.h"

namespace quillmere::swf::qt {

namespace {

using Channels = std::array<float, 4>; // premultiplied blue, green, red, alpha, 0 to 1

Channels unpack(Pixel p)
{
    return {float(p & 0xFF) / 255, float(p >> 8 & 0xFF) / 255, float(p >> 16 & 0xFF) / 255, float(p >> 24) / 255};
}

Pixel pack(const Channels& c)
{
    const float alpha = std::clamp(c[3], 0.0f, 1.0f);
    const auto channel = [alpha](float v) { return rounded(std::clamp(v, 0.0f, alpha) * 255); };
    return rounded(alpha * 255) << 24 | channel(c[2]) << 16 | channel(c[1]) << 8 | channel(c[0]);
}

// One colour channel of overlay or hard light, which mix source and destination where both
// are, and keep each where only it is.
float separable(BlendMode mode, float s, float d, float sa, float da)
{
    const float apart = s * (1 - da) + d * (1 - sa);
    switch (mode) {
    case BlendMode::Overlay: return (2 * d <= da ? 2 * s * d : sa * da - 2 * (da - d) * (sa - s)) + apart;
    case BlendMode::Hardlight: return (2 * s <= sa ? 2 * s * d : sa * da - 2 * (da - d) * (sa - s)) + apart;
    default: return s + d * (1 - sa);
    }
}

Pixel blend(BlendMode mode, Pixel source, Pixel destination)
{
    const Channels s = unpack(source), d = unpack(destination);
    const float sa = s[3], da = d[3];
    Channels out{};
    switch (mode) {
    case BlendMode::Add:
        for (int i = 0; i < 4; ++i)
            out[i] = std::min(1.0f, s[i] + d[i]);
        return pack(out);
    case BlendMode::Subtract:
        for (int i = 0; i < 3; ++i)
            out[i] = std::max(0.0f, d[i] - s[i]);
        out[3] = da;
        return pack(out);
    case BlendMode::Invert: // what lies under turned to its opposite, as far as the layer covers it
        for (int i = 0; i < 3; ++i)
            out[i] = d[i] * (1 - sa) + (da - d[i]) * sa;
        out[3] = da;
        return pack(out);
    case BlendMode::Alpha:
        for (int i = 0; i < 4; ++i)
            out[i] = d[i] * sa;
        return pack(out);
    case BlendMode::Erase:
        for (int i = 0; i < 4; ++i)
            out[i] = d[i] * (1 - sa);
        return pack(out);
    default:
        for (int i = 0; i < 3; ++i)
            out[i] = separable(mode, s[i], d[i], sa, da);
        out[3] = sa + da - sa * da;
        return pack(out);
    }
}

// The separable modes that whole numbers compute exactly enough, a channel at a time: `mix`
// takes source and destination channels and alphas, 0 to 255 premultiplied, and gives the
// channel times 255.
template <typename Mix>
void blendWhole(const Pixel* layer, Pixel* row, int count, const unsigned char* inside, Mix mix)
{
    for (int i = 0; i < count; ++i) {
        const Pixel s = layer[i];
        if ((inside && !inside[i]) || s == 0)
            continue;
        const Pixel d = row[i];
        const int sa = int(s >> 24), da = int(d >> 24);
        Pixel out = Pixel(sa + da - (sa * da + 127) / 255) << 24;
        for (int shift = 0; shift < 24; shift += 8) {
            const int sc = int(s >> shift & 0xFF), dc = int(d >> shift & 0xFF);
            const int apart = sc * (255 - da) + dc * (255 - sa);
            out |= Pixel(std::clamp((mix(sc, dc, sa, da, apart) + 127) / 255, 0, 255)) << shift;
        }
        row[i] = out;
    }
}

} // namespace

void blendRow(BlendMode mode, const Pixel* layer, Pixel* row, int count, const unsigned char* inside)
{
    switch (mode) {
    case BlendMode::Normal:
    case BlendMode::Layer:
        for (int i = 0; i < count; ++i)
            if ((!inside || inside[i]) && layer[i] != 0)
                row[i] = over(layer[i], row[i]);
        return;
    case BlendMode::Multiply:
        return blendWhole(layer, row, count, inside, [](int s, int d, int, int, int apart) { return s * d + apart; });
    case BlendMode::Screen:
        return blendWhole(layer, row, count, inside, [](int s, int d, int, int, int) { return (s + d) * 255 - s * d; });
    case BlendMode::Lighten:
        return blendWhole(layer, row, count, inside,
                          [](int s, int d, int sa, int da, int apart) { return std::max(s * da, d * sa) + apart; });
    case BlendMode::Darken:
        return blendWhole(layer, row, count, inside,
                          [](int s, int d, int sa, int da, int apart) { return std::min(s * da, d * sa) + apart; });
    case BlendMode::Difference:
        return blendWhole(layer, row, count, inside, [](int s, int d, int sa, int da, int) {
            return (s + d) * 255 - 2 * std::min(s * da, d * sa);
        });
    default:
        for (int i = 0; i < count; ++i)
            if ((!inside || inside[i]) && layer[i] != 0) // nothing of the layer here: nothing changes
                row[i] = blend(mode, layer[i], row[i]);
    }
}

} // namespace quillmere::swf::qt
