#include "swf/qt/filters.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "swf/qt/blend.h"

namespace quillmere::swf::qt {

namespace {

double blurOf(double size, double scale)
{
    return std::clamp(size, 0.0, kLargestBlur) * scale;
}

int passesOf(const Filter& f)
{
    return std::clamp(f.passes, 0, kMostPasses);
}

// One channel plane, 0 to 1, row by row.
struct Plane {
    int width = 0, height = 0;
    std::vector<float> values;
    float& at(int x, int y) { return values[std::size_t(y) * std::size_t(width) + std::size_t(x)]; }
    float get(int x, int y) const // 0 outside
    {
        return x < 0 || y < 0 || x >= width || y >= height
                   ? 0
                   : values[std::size_t(y) * std::size_t(width) + std::size_t(x)];
    }
};

// A box `size` pixels wide along `count` values `step` apart, in place: each pixel the mean of
// what the box centred on it covers, the pixels at its ends in part.
void boxBlur(float* values, int count, std::ptrdiff_t step, double size, std::vector<float>& scratch)
{
    const double half = size / 2;
    if (half <= 0.5)
        return;
    const int whole = int(std::floor(half - 0.5));
    const auto part = float(half - 0.5 - whole);
    scratch.assign(std::size_t(count), 0);
    const auto value = [&](int i) { return i < 0 || i >= count ? 0.0f : values[std::ptrdiff_t(i) * step]; };
    double sum = 0;
    for (int i = -whole; i <= whole; ++i)
        sum += value(i);
    const auto scale = float(1 / size);
    for (int i = 0; i < count; ++i) {
        scratch[std::size_t(i)] = float(sum + part * (value(i - whole - 1) + value(i + whole + 1))) * scale;
        sum += value(i + whole + 1) - value(i - whole);
    }
    for (int i = 0; i < count; ++i)
        values[std::ptrdiff_t(i) * step] = scratch[std::size_t(i)];
}

void blur(Plane& plane, double x, double y, int passes)
{
    std::vector<float> scratch;
    for (int pass = 0; pass < passes; ++pass) {
        for (int row = 0; row < plane.height && x > 1; ++row)
            boxBlur(&plane.at(0, row), plane.width, 1, x, scratch);
        for (int column = 0; column < plane.width && y > 1; ++column)
            boxBlur(&plane.at(column, 0), plane.height, plane.width, y, scratch);
    }
}

Plane alphaOf(const QImage& layer)
{
    Plane plane{layer.width(), layer.height(), {}};
    plane.values.resize(std::size_t(layer.width()) * std::size_t(layer.height()));
    for (int y = 0; y < layer.height(); ++y) {
        const auto* row = reinterpret_cast<const Pixel*>(layer.constScanLine(y));
        for (int x = 0; x < layer.width(); ++x)
            plane.at(x, y) = float(row[x] >> 24) / 255;
    }
    return plane;
}

Pixel pixelOf(Rgba color, float alpha)
{
    alpha = std::clamp(alpha * float(color.a) / 255, 0.0f, 1.0f);
    const auto channel = [alpha](int v) { return Pixel(std::lround(float(v) * alpha)); };
    return Pixel(std::lround(alpha * 255)) << 24 | channel(color.r) << 16 | channel(color.g) << 8 | channel(color.b);
}

// A drop shadow, or a glow (a shadow that does not move): the picture's alpha blurred, moved,
// strengthened and coloured, under the picture, inside it, or alone.
void shadow(const Filter& f, QImage& layer, double scale)
{
    Plane shade = alphaOf(layer);
    const Plane source = shade;
    if (f.inner)
        for (float& a : shade.values)
            a = 1 - a;
    blur(shade, blurOf(f.blurX, scale), blurOf(f.blurY, scale), passesOf(f));
    const double distance = f.kind == Filter::Kind::DropShadow ? f.distance * scale : 0;
    const int dx = int(std::lround(std::cos(f.angle) * distance)), dy = int(std::lround(std::sin(f.angle) * distance));
    const Rgba color = f.colors.empty() ? Rgba{0, 0, 0, 255} : f.colors.front();
    const auto strength = float(f.strength);
    for (int y = 0; y < layer.height(); ++y) {
        auto* row = reinterpret_cast<Pixel*>(layer.scanLine(y));
        for (int x = 0; x < layer.width(); ++x) {
            const float picture = source.get(x, y);
            float cast = std::min(1.0f, shade.get(x - dx, y - dy) * strength);
            if (f.inner)
                cast *= picture; // only where the picture is
            else if (f.knockout)
                cast *= 1 - picture; // only around it
            const Pixel s = pixelOf(color, cast);
            if (f.inner)
                row[x] = f.knockout || !f.compositeSource ? s : over(s, row[x]);
            else if (f.knockout || !f.compositeSource)
                row[x] = s;
            else
                row[x] = over(row[x], s);
        }
    }
}

void blurLayer(const Filter& f, QImage& layer, double scale)
{
    std::array<Plane, 4> planes;
    for (int channel = 0; channel < 4; ++channel) {
        Plane& plane = planes[std::size_t(channel)];
        plane = {layer.width(), layer.height(), {}};
        plane.values.resize(std::size_t(layer.width()) * std::size_t(layer.height()));
        for (int y = 0; y < layer.height(); ++y) {
            const auto* row = reinterpret_cast<const Pixel*>(layer.constScanLine(y));
            for (int x = 0; x < layer.width(); ++x)
                plane.at(x, y) = float(row[x] >> (8 * channel) & 0xFF);
        }
        blur(plane, blurOf(f.blurX, scale), blurOf(f.blurY, scale), passesOf(f));
    }
    for (int y = 0; y < layer.height(); ++y) {
        auto* row = reinterpret_cast<Pixel*>(layer.scanLine(y));
        for (int x = 0; x < layer.width(); ++x) {
            const auto alpha = Pixel(std::lround(std::clamp(planes[3].at(x, y), 0.0f, 255.0f)));
            Pixel p = alpha << 24;
            for (int channel = 0; channel < 3; ++channel)
                p |= Pixel(std::lround(std::clamp(planes[std::size_t(channel)].at(x, y), 0.0f, float(alpha))))
                     << (8 * channel);
            row[x] = p;
        }
    }
}

// A 4 x 5 matrix on each pixel's straight (not premultiplied) colour, the fifth column added
// in 0-255 units.
void colorMatrix(const Filter& f, QImage& layer)
{
    if (f.matrix.size() != 20)
        return;
    for (int y = 0; y < layer.height(); ++y) {
        auto* row = reinterpret_cast<Pixel*>(layer.scanLine(y));
        for (int x = 0; x < layer.width(); ++x) {
            const Pixel p = row[x];
            const float a = float(p >> 24);
            const float un = a > 0 ? 255 / a : 0;
            const std::array<float, 4> in{float(p >> 16 & 0xFF) * un, float(p >> 8 & 0xFF) * un, float(p & 0xFF) * un,
                                          a};
            std::array<float, 4> out{};
            for (std::size_t i = 0; i < 4; ++i) {
                const float* m = &f.matrix[i * 5];
                out[i] = std::clamp(m[0] * in[0] + m[1] * in[1] + m[2] * in[2] + m[3] * in[3] + m[4], 0.0f, 255.0f);
            }
            const float alpha = out[3] / 255;
            row[x] = Pixel(std::lround(out[3])) << 24 | Pixel(std::lround(out[0] * alpha)) << 16
                     | Pixel(std::lround(out[1] * alpha)) << 8 | Pixel(std::lround(out[2] * alpha));
        }
    }
}

} // namespace

int filterReach(const std::vector<Filter>& filters, double scale)
{
    double reach = 0;
    for (const Filter& f : filters) {
        const double blur = std::max(blurOf(f.blurX, scale), blurOf(f.blurY, scale)) / 2 * std::max(1, passesOf(f));
        const double moved = f.kind == Filter::Kind::DropShadow || f.kind == Filter::Kind::Bevel
                                     || f.kind == Filter::Kind::GradientBevel
                                 ? std::clamp(std::fabs(f.distance), 0.0, kLargestBlur) * scale
                                 : 0;
        if (f.kind != Filter::Kind::ColorMatrix && f.kind != Filter::Kind::Convolution)
            reach += blur + moved;
    }
    return int(std::ceil(std::min(reach, 4096.0))) + 1;
}

void applyFilters(const std::vector<Filter>& filters, QImage& layer, double scale)
{
    for (const Filter& f : filters) {
        switch (f.kind) {
        case Filter::Kind::Blur: blurLayer(f, layer, scale); break;
        case Filter::Kind::DropShadow:
        case Filter::Kind::Glow: shadow(f, layer, scale); break;
        case Filter::Kind::ColorMatrix: colorMatrix(f, layer); break;
        case Filter::Kind::Bevel:
        case Filter::Kind::GradientGlow:
        case Filter::Kind::GradientBevel:
        case Filter::Kind::Convolution: break; // not drawn yet: the picture as it is
        }
    }
}

} // namespace quillmere::swf::qt
