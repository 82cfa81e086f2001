#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <QImage>
#include <QTransform>

#include "swf/shape.h"
#include "swf/types.h"

namespace quillmere::swf::qt {

class Bitmaps;

// Premultiplied ARGB, as QImage::Format_ARGB32_Premultiplied holds it.
using Pixel = std::uint32_t;

Pixel premultiplied(Rgba color);

using Ramp = std::array<Pixel, 256>;

// Players make a ramp of 256 colours from a gradient's records, one for each ratio, and take a
// pixel's colour from it.
Ramp rampOf(const Gradient& gradient, const ColorTransform& colors);

// Gradients' ramps, each made once for a gradient and a colour transform it is drawn in, and
// shared with the paints that use them.
class Ramps {
public:
    std::shared_ptr<const Ramp> get(const Gradient& gradient, const ColorTransform& colors);

private:
    std::map<std::string, std::shared_ptr<const Ramp>> made_; // by what makes them: records, blending, transform
};

// What a fill style paints each pixel with: a colour, a gradient from a 256-entry ramp as the
// format's players build it, or a bitmap, nearest or smoothed, repeated or with its edge pixels
// carried on.
class Paint {
public:
    explicit Paint(Rgba color) : kind_(Kind::Solid), solid_(premultiplied(color)), opaque_(color.a == 255) {}
    // `shapeToDevice` takes the shape's twips to the pixels painted.
    Paint(const FillStyle& style, const ColorTransform& colors, const QTransform& shapeToDevice, Bitmaps& bitmaps,
          Ramps& ramps);

    bool paintsNothing() const { return kind_ == Kind::None; }
    // Whether every pixel it paints hides what lies under it.
    bool isOpaque() const { return opaque_; }
    // The one colour of every pixel, if that is what it paints.
    std::optional<Pixel> solid() const { return kind_ == Kind::Solid ? std::optional(solid_) : std::nullopt; }
    // The `count` pixels of row `y` from `x` on.
    void shade(int x, int y, int count, Pixel* out) const;
    // A bitmap's nearest pixel, however its style asks for it.
    void unsmoothed() { smooth_ = false; }

private:
    enum class Kind { None, Solid, Linear, Radial, Focal, Bitmap };

    double rampPosition(double t) const;
    void shadeLinearPad(double u, double du, int count, Pixel* out) const;

    Kind kind_ = Kind::None;
    Pixel solid_ = 0;
    bool opaque_ = false;
    QTransform deviceToPaint_;         // pixel centres to the gradient square or the bitmap's pixels
    std::shared_ptr<const Ramp> ramp_; // of a gradient
    Gradient::Spread spread_ = Gradient::Spread::Pad;
    double focal_ = 0;
    QImage bitmap_;
    bool repeat_ = true, smooth_ = true;
    std::uint32_t fade_ = 256; // of 256
    struct Span {
        int x = -1;
        std::vector<Pixel> pixels;
    };
    mutable Span lastSpan_; // of a gradient that paints every row alike
};

} // namespace quillmere::swf::qt
