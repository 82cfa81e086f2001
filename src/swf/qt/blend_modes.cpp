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
    const auto channel = [alpha](float v) { return Pixel(std::lround(std::clamp(v, 0.0f, alpha) * 255)); };
    return Pixel(std::lround(alpha * 255)) << 24 | channel(c[2]) << 16 | channel(c[1]) << 8 | channel(c[0]);
}

// One colour channel of a mode that mixes source and destination where both are, and keeps
// each where only it is.
float separable(BlendMode mode, float s, float d, float sa, float da)
{
    const float apart = s * (1 - da) + d * (1 - sa);
    switch (mode) {
    case BlendMode::Multiply: return s * d + apart;
    case BlendMode::Screen: return s + d - s * d;
    case BlendMode::Lighten: return std::max(s * da, d * sa) + apart;
    case BlendMode::Darken: return std::min(s * da, d * sa) + apart;
    case BlendMode::Difference: return s + d - 2 * std::min(s * da, d * sa);
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

} // namespace

void blendRow(BlendMode mode, const Pixel* layer, Pixel* row, int count, const unsigned char* inside)
{
    const bool plain = mode == BlendMode::Normal || mode == BlendMode::Layer;
    for (int i = 0; i < count; ++i) {
        if ((inside && !inside[i]) || layer[i] == 0) // nothing of the layer here: nothing changes
            continue;
        row[i] = plain ? over(layer[i], row[i]) : blend(mode, layer[i], row[i]);
    }
}

} // namespace quillmere::swf::qt
