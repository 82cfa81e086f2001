#include "swf/qt/paint.h"

#include <algorithm>
#include <cmath>

#include "swf/limits.h"
#include "swf/qt/bitmaps.h"
#include "swf/qt/convert.h"

namespace quillmere::swf::qt {

namespace {

double toLinear(int channel)
{
    const double c = channel / 255.0;
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

int fromLinear(double linear)
{
    const double c = linear <= 0.0031308 ? linear * 12.92 : 1.055 * std::pow(linear, 1 / 2.4) - 0.055;
    return static_cast<int>(std::lround(255 * std::clamp(c, 0.0, 1.0)));
}

// Players blend the colours of a linear-RGB gradient in linear light, the others in sRGB.
Rgba mix(Rgba from, Rgba to, double t, bool linearLight)
{
    const auto channel = [t, linearLight](int a, int b) {
        return std::uint8_t(linearLight ? fromLinear((1 - t) * toLinear(a) + t * toLinear(b))
                                        : std::lround((1 - t) * a + t * b));
    };
    return {channel(from.r, to.r), channel(from.g, to.g), channel(from.b, to.b),
            std::uint8_t(std::lround((1 - t) * from.a + t * to.a))};
}

// `a` to `b` by f/256, channel by channel.
Pixel lerp(Pixel a, Pixel b, std::uint32_t f)
{
    const std::uint32_t g = 256 - f;
    const std::uint32_t rb = (((a & 0x00FF00FFu) * g + (b & 0x00FF00FFu) * f) >> 8) & 0x00FF00FFu;
    const std::uint32_t ag = (((a >> 8) & 0x00FF00FFu) * g + ((b >> 8) & 0x00FF00FFu) * f) & 0xFF00FF00u;
    return rb | ag;
}

int wrap(int i, int size)
{
    i %= size;
    return i < 0 ? i + size : i;
}

} // namespace

Ramp rampOf(const Gradient& gradient, const ColorTransform& colors)
{
    Ramp ramp{};
    const bool linearLight = gradient.interpolation == Gradient::Interpolation::LinearRgb;
    std::size_t next = 0; // the first record at or after the ratio
    for (int ratio = 0; ratio < 256; ++ratio) {
        while (next < gradient.stops.size() && gradient.stops[next].ratio < ratio)
            ++next;
        Rgba color;
        if (next == 0)
            color = colors.apply(gradient.stops.front().color);
        else if (next == gradient.stops.size())
            color = colors.apply(gradient.stops.back().color);
        else {
            const auto& from = gradient.stops[next - 1];
            const auto& to = gradient.stops[next];
            const double t = to.ratio == from.ratio ? 1 : double(ratio - from.ratio) / (to.ratio - from.ratio);
            color = mix(colors.apply(from.color), colors.apply(to.color), t, linearLight);
        }
        ramp[std::size_t(ratio)] = premultiplied(color);
    }
    return ramp;
}

Pixel premultiplied(Rgba c)
{
    const auto times = [a = c.a](std::uint32_t v) { return (v * a + 127) / 255; };
    return Pixel(c.a) << 24 | times(c.r) << 16 | times(c.g) << 8 | times(c.b);
}

std::shared_ptr<const Ramp> Ramps::get(const Gradient& gradient, const ColorTransform& colors)
{
    std::string key;
    for (const Gradient::Stop& stop : gradient.stops)
        key += {char(stop.ratio), char(stop.color.r), char(stop.color.g), char(stop.color.b), char(stop.color.a)};
    key += char(gradient.interpolation);
    for (const auto* values : {&colors.mult, &colors.add})
        key.append(reinterpret_cast<const char*>(values->data()), sizeof(*values));
    auto found = made_.find(key);
    if (found != made_.end())
        return found->second;
    if (made_.size() >= kMaxCachedRamps)
        made_.clear(); // a colour animation would make a new one every frame
    return made_.emplace(std::move(key), std::make_shared<const Ramp>(rampOf(gradient, colors))).first->second;
}

Paint::Paint(const FillStyle& style, const ColorTransform& colors, const QTransform& shapeToDevice, Bitmaps& bitmaps,
             Ramps& ramps)
{
    if (style.kind == FillStyle::Kind::Solid) {
        kind_ = Kind::Solid;
        solid_ = premultiplied(colors.apply(style.color));
        opaque_ = solid_ >> 24 == 255;
        return;
    }
    bool invertible = false;
    deviceToPaint_ = (toQt(style.matrix) * shapeToDevice).inverted(&invertible);
    if (style.kind == FillStyle::Kind::Bitmap) {
        // A bitmap that only fades is faded as it is drawn rather than copied faded.
        const bool fades = colors.mult[0] == 1 && colors.mult[1] == 1 && colors.mult[2] == 1
                           && colors.add == std::array<double, 4>{0, 0, 0, 0};
        if (fades)
            fade_ = std::uint32_t(std::lround(std::clamp(colors.mult[3], 0.0, 1.0) * 256));
        // A copy, cheap and shared: the cache may let go of its own while this is in use.
        const ColorTransform tint = fades ? ColorTransform{} : colors;
        bitmap_ = style.scriptBitmap ? bitmaps.get(*style.scriptBitmap, tint) : bitmaps.get(style.bitmapId, tint);
        if (!bitmap_.isNull() && invertible)
            kind_ = Kind::Bitmap;
        repeat_ = style.repeat;
        smooth_ = style.smooth;
        return;
    }
    const Gradient& gradient = style.gradient;
    if (gradient.stops.empty())
        return;
    ramp_ = ramps.get(gradient, colors);
    opaque_ = std::all_of(ramp_->begin(), ramp_->end(), [](Pixel p) { return p >> 24 == 255; });
    if (!invertible) { // a gradient squeezed to nothing: all of it lies past its end
        kind_ = Kind::Solid;
        solid_ = ramp_->back();
        return;
    }
    spread_ = gradient.spread;
    focal_ = std::clamp(gradient.focalPoint, -0.998, 0.998);
    kind_ = style.kind == FillStyle::Kind::LinearGradient  ? Kind::Linear
            : style.kind == FillStyle::Kind::FocalGradient ? Kind::Focal
                                                           : Kind::Radial;
}

double Paint::rampPosition(double t) const
{
    switch (spread_) {
    case Gradient::Spread::Repeat: t -= std::floor(t); break;
    case Gradient::Spread::Reflect:
        t = std::fabs(t);
        t -= 2 * std::floor(t / 2);
        t = t > 1 ? 2 - t : t;
        break;
    case Gradient::Spread::Pad: break;
    }
    return std::clamp(t, 0.0, 1.0) * 255 + 0.5;
}

void Paint::shade(int x, int y, int count, Pixel* out) const
{
    if (kind_ == Kind::Solid || kind_ == Kind::None) {
        std::fill_n(out, count, kind_ == Kind::Solid ? solid_ : 0);
        return;
    }
    const QTransform& m = deviceToPaint_;
    double u = m.m11() * (x + 0.5) + m.m21() * (y + 0.5) + m.dx();
    double v = m.m12() * (x + 0.5) + m.m22() * (y + 0.5) + m.dy();
    const double du = m.m11(), dv = m.m12();
    constexpr double half = kGradientSquareHalf;
    const Pixel* const ramp = ramp_ ? ramp_->data() : nullptr; // of a gradient
    const auto fromRamp = [this, ramp](double t) { return ramp[std::size_t(rampPosition(t))]; };
    switch (kind_) {
    case Kind::Linear: {
        // A gradient that runs across the rows paints every row alike: the last span is kept.
        const bool sameEveryRow = m.m21() == 0;
        if (sameEveryRow && x == lastSpan_.x && count <= int(lastSpan_.pixels.size())) {
            std::copy_n(lastSpan_.pixels.begin(), count, out);
            return;
        }
        if (spread_ == Gradient::Spread::Pad)
            shadeLinearPad(u, du, count, out);
        else
            for (int i = 0; i < count; ++i, u += du)
                out[i] = fromRamp((u + half) / (2 * half));
        if (sameEveryRow && count >= 16) { // the inside of a fill, not a pixel at its edge
            lastSpan_.x = x;
            lastSpan_.pixels.assign(out, out + count);
        }
        return;
    }
    case Kind::Radial:
        if (spread_ == Gradient::Spread::Pad) {
            // The commonest radial gradient, in single precision: a ramp index needs no more.
            constexpr float last = 255.5f, scale = 255 / float(half);
            for (int i = 0; i < count; ++i, u += du, v += dv) {
                const auto fu = float(u), fv = float(v);
                const float at = std::sqrt(fu * fu + fv * fv) * scale + 0.5f;
                out[i] = ramp[std::size_t(at < last ? at : last)]; // also past float's range
            }
            return;
        }
        for (int i = 0; i < count; ++i, u += du, v += dv)
            out[i] = fromRamp(std::sqrt(u * u + v * v) / half);
        return;
    case Kind::Focal:
        for (int i = 0; i < count; ++i, u += du, v += dv) {
            // How far along from the focal point to the circle, on the ray through the pixel.
            const double px = u / half - focal_, py = v / half;
            const double length = std::sqrt(px * px + py * py);
            double t = 0;
            if (length > 0) {
                const double along = focal_ * px / length;
                t = length / (-along + std::sqrt(along * along - focal_ * focal_ + 1));
            }
            out[i] = fromRamp(t);
        }
        return;
    case Kind::Bitmap: break;
    case Kind::None:
    case Kind::Solid: return;
    }
    const int w = bitmap_.width(), h = bitmap_.height();
    const uchar* const texels = bitmap_.constBits();
    const auto perRow = std::size_t(bitmap_.bytesPerLine());
    const auto texel = [&](int tx, int ty) {
        tx = repeat_ ? wrap(tx, w) : std::clamp(tx, 0, w - 1);
        ty = repeat_ ? wrap(ty, h) : std::clamp(ty, 0, h - 1);
        return reinterpret_cast<const Pixel*>(texels + std::size_t(ty) * perRow)[tx];
    };
    for (int i = 0; i < count; ++i, u += du, v += dv) {
        // Far outside any bitmap: the same texel as at its edge, or again as it repeats.
        const double su = std::clamp(u, -1e9, 1e9), sv = std::clamp(v, -1e9, 1e9);
        if (smooth_) {
            const double fx = std::floor(su - 0.5), fy = std::floor(sv - 0.5);
            const auto wx = std::uint32_t((su - 0.5 - fx) * 256), wy = std::uint32_t((sv - 0.5 - fy) * 256);
            const int ix = int(fx), iy = int(fy);
            out[i] = lerp(lerp(texel(ix, iy), texel(ix + 1, iy), wx),
                          lerp(texel(ix, iy + 1), texel(ix + 1, iy + 1), wx), wy);
        } else {
            out[i] = texel(int(std::floor(su)), int(std::floor(sv)));
        }
        if (fade_ < 256)
            out[i] = lerp(0, out[i], fade_);
    }
}

// The commonest gradient, in fixed point: the ramp entry times 2^16 steps by the same amount.
void Paint::shadeLinearPad(double u, double du, int count, Pixel* out) const
{
    constexpr double scale = 255.0 / (2 * kGradientSquareHalf) * 65536;
    const double first = (u + kGradientSquareHalf) * scale + 0.5 * 65536, step = du * scale;
    const Ramp& ramp = *ramp_;
    // Beyond this the sums could overflow; such gradients take the slow way.
    if (std::fabs(first) > 1e15 || std::fabs(step * count) > 1e15) {
        for (int i = 0; i < count; ++i, u += du)
            out[i] = ramp[std::size_t(rampPosition((u + kGradientSquareHalf) / (2 * kGradientSquareHalf)))];
        return;
    }
    auto at = std::int64_t(first);
    const auto by = std::int64_t(step);
    constexpr std::int64_t end = std::int64_t(256) << 16;
    const auto padded = [&ramp](std::int64_t at) { return at < 0 ? ramp.front() : ramp.back(); };
    int i = 0;
    for (; i < count && (at < 0 || at >= end); ++i, at += by)
        out[i] = padded(at);
    for (; i < count && at >= 0 && at < end; ++i, at += by)
        out[i] = ramp[std::size_t(at >> 16)];
    for (; i < count; ++i, at += by)
        out[i] = padded(at);
}

} // namespace quillmere::swf::qt
