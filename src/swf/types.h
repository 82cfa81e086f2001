#pragma once

#include <array>
#include <cstdint>

namespace quillmere::swf {

// Movie coordinates are twips: 20 to a pixel.
inline constexpr double kTwipsPerPixel = 20.0;

struct Rgba {
    std::uint8_t r = 0, g = 0, b = 0, a = 255;
    bool operator==(const Rgba&) const = default;
};

struct Point {
    std::int32_t x = 0, y = 0;
    bool operator==(const Point&) const = default;
};

struct Rect {
    std::int32_t xMin = 0, xMax = 0, yMin = 0, yMax = 0;
    std::int32_t width() const { return xMax - xMin; }
    std::int32_t height() const { return yMax - yMin; }
};

// x' = a x + c y + tx, y' = b x + d y + ty (the format's ScaleX, RotateSkew0, RotateSkew1,
// ScaleY, TranslateX, TranslateY).
struct Matrix {
    double a = 1, b = 0, c = 0, d = 1, tx = 0, ty = 0;
    bool operator==(const Matrix&) const = default;
};

// Each channel c (0-255) becomes c * mult + add, clamped; red, green, blue, alpha.
struct ColorTransform {
    std::array<double, 4> mult{1, 1, 1, 1};
    std::array<double, 4> add{0, 0, 0, 0};
    bool operator==(const ColorTransform&) const = default;

    Rgba apply(Rgba color) const;
    // This transform applied after `inner`.
    ColorTransform after(const ColorTransform& inner) const;
    bool isIdentity() const { return *this == ColorTransform{}; }
};

} // namespace quillmere::swf
