#include "swf/qt/filters.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "swf/qt/blend.h"
#include "swf/qt/paint.h"

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

// Storage for planes, kept from one filter to the next: a large vector made afresh each time
// costs the system's pages each time.
class PlaneStorage {
public:
    std::vector<float> take(std::size_t size)
    {
        std::vector<float> values;
        if (!kept_.empty()) {
            values = std::move(kept_.back());
            kept_.pop_back();
        }
        values.resize(size);
        return values;
    }
    void give(std::vector<float>&& values)
    {
        if (kept_.size() < kMostKept && values.capacity() > 0 && values.capacity() <= kLargestKept)
            kept_.push_back(std::move(values));
    }

private:
    static constexpr std::size_t kMostKept = 6;           // as many as one filter uses
    static constexpr std::size_t kLargestKept = 1u << 20; // values: a banner's layers, not a hostile one's
    std::vector<std::vector<float>> kept_;
};
thread_local PlaneStorage storage;

// Values of a picture's pixels, `channels` to a pixel side by side, row by row.
struct Plane {
    int width = 0, height = 0, channels = 1;
    std::vector<float> values;

    Plane(int w, int h, int c = 1)
        : width(w), height(h), channels(c), values(storage.take(std::size_t(w) * std::size_t(h) * std::size_t(c)))
    {
    }
    Plane(const Plane& other) : Plane(other.width, other.height, other.channels)
    {
        std::copy(other.values.begin(), other.values.end(), values.begin());
    }
    Plane(Plane&&) = default;
    Plane& operator=(const Plane&) = delete;
    Plane& operator=(Plane&&) = default;
    ~Plane() { storage.give(std::move(values)); }

    // Of a plane of one channel:
    float& at(int x, int y) { return values[std::size_t(y) * std::size_t(width) + std::size_t(x)]; }
    float get(int x, int y) const // 0 outside
    {
        return x < 0 || y < 0 || x >= width || y >= height
                   ? 0
                   : values[std::size_t(y) * std::size_t(width) + std::size_t(x)];
    }
};

// One pass of a box blur of 2r + 1 pixels along each row, then each column, values beyond the
// edges counting as 0: r being half of `x` and of `y` in whole pixels, as players take it. Each
// window's sum moves along rather than being summed anew, and the columns are walked a row at
// a time, all at once, so that memory is read in order.
void blurPass(Plane& plane, int rx, int ry, std::vector<float>& sums)
{
    const int w = plane.width, h = plane.height, c = plane.channels;
    const std::size_t rowSize = std::size_t(w) * std::size_t(c);
    if (rx > 0) {
        const auto scale = 1.0f / float(2 * rx + 1);
        std::vector<float> line(rowSize + std::size_t(2 * (rx + 1) * c)); // a row with room of 0 each side
        const std::size_t margin = std::size_t((rx + 1) * c);
        for (int y = 0; y < h; ++y) {
            float* row = plane.values.data() + std::size_t(y) * rowSize;
            std::copy(row, row + rowSize, line.begin() + std::ptrdiff_t(margin));
            sums.assign(std::size_t(c), 0);
            const float* added = line.data() + margin; // the window's first value at x = 0 is at -rx
            for (int x = 0; x <= rx; ++x)
                for (int k = 0; k < c; ++k)
                    sums[std::size_t(k)] += added[x * c + k];
            const float* leaving = line.data() + margin - std::size_t(rx * c);
            added += (rx + 1) * c;
            for (int x = 0; x < w; ++x)
                for (int k = 0; k < c; ++k, ++added, ++leaving) {
                    row[x * c + k] = sums[std::size_t(k)] * scale;
                    sums[std::size_t(k)] += *added - *leaving;
                }
        }
    }
    if (ry > 0) {
        const Plane source = plane;
        const auto scale = 1.0f / float(2 * ry + 1);
        sums.assign(rowSize, 0);
        const auto rowOf = [&](int y) { return source.values.data() + std::size_t(y) * rowSize; };
        for (int y = 0; y <= ry && y < h; ++y)
            for (std::size_t i = 0; i < rowSize; ++i)
                sums[i] += rowOf(y)[i];
        for (int y = 0; y < h; ++y) {
            float* out = plane.values.data() + std::size_t(y) * rowSize;
            for (std::size_t i = 0; i < rowSize; ++i)
                out[i] = sums[i] * scale;
            if (y + ry + 1 < h)
                for (std::size_t i = 0; i < rowSize; ++i)
                    sums[i] += rowOf(y + ry + 1)[i];
            if (y - ry >= 0)
                for (std::size_t i = 0; i < rowSize; ++i)
                    sums[i] -= rowOf(y - ry)[i];
        }
    }
}

void blur(Plane& plane, double x, double y, int passes)
{
    std::vector<float> sums;
    for (int pass = 0; pass < passes; ++pass)
        blurPass(plane, int(x / 2), int(y / 2), sums);
}

Plane alphaOf(const QImage& layer)
{
    Plane plane(layer.width(), layer.height());
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
    const auto channel = [alpha](int v) { return rounded(float(v) * alpha); };
    return rounded(alpha * 255) << 24 | channel(color.r) << 16 | channel(color.g) << 8 | channel(color.b);
}

Pixel scaled(Pixel p, float by)
{
    if (by >= 1)
        return p;
    const auto channel = [by](Pixel v) { return rounded(float(v) * by); };
    return channel(p >> 24) << 24 | channel(p >> 16 & 0xFF) << 16 | channel(p >> 8 & 0xFF) << 8 | channel(p & 0xFF);
}

// Where a filter's own picture (a shadow, a glow, a bevel) may show, and whether it lies over
// the object's picture or under it.
struct Placing {
    enum class Where { Everywhere, Inside, Outside } where;
    bool onTop;
};

// Lays `effect(x, y)` (premultiplied) with the object's picture, whose alpha is `picture`: alone
// when the filter knocks the picture out or does not keep it.
template <typename Effect>
void lay(const Filter& f, QImage& layer, const Plane& picture, Placing placing, Effect effect)
{
    const bool alone = f.knockout || !f.compositeSource;
    for (int y = 0; y < layer.height(); ++y) {
        auto* row = reinterpret_cast<Pixel*>(layer.scanLine(y));
        for (int x = 0; x < layer.width(); ++x) {
            const float p = picture.get(x, y);
            Pixel e = effect(x, y);
            if (placing.where == Placing::Where::Inside)
                e = scaled(e, p);
            else if (placing.where == Placing::Where::Outside)
                e = scaled(e, 1 - p);
            row[x] = alone ? e : placing.onTop ? over(e, row[x]) : over(row[x], e);
        }
    }
}

// How far a shadow or a bevel's light falls from the picture, in whole pixels.
std::pair<int, int> offsetOf(const Filter& f, double scale)
{
    const double distance = std::clamp(f.distance, -kLargestBlur, kLargestBlur) * scale;
    return {int(std::lround(std::cos(f.angle) * distance)), int(std::lround(std::sin(f.angle) * distance))};
}

// The picture's alpha blurred, inverted first for a filter that acts inside.
Plane blurredAlpha(const Filter& f, const Plane& picture, double scale)
{
    Plane shade = picture;
    if (f.inner)
        for (float& a : shade.values)
            a = 1 - a;
    blur(shade, blurOf(f.blurX, scale), blurOf(f.blurY, scale), passesOf(f));
    return shade;
}

Placing glowPlacing(const Filter& f)
{
    if (f.inner)
        return {Placing::Where::Inside, true};
    return {f.knockout ? Placing::Where::Outside : Placing::Where::Everywhere, false};
}

// A bevel is inner, outer, or on top of the picture's edge both ways (full).
Placing bevelPlacing(const Filter& f)
{
    if (f.onTop)
        return {Placing::Where::Everywhere, true};
    return f.inner ? Placing{Placing::Where::Inside, true} : Placing{Placing::Where::Outside, false};
}

// The gradient filters' colours: 256 along the ratios, as a gradient fill's.
Ramp filterRamp(const Filter& f)
{
    Gradient gradient;
    for (std::size_t i = 0; i < f.colors.size() && i < f.ratios.size(); ++i)
        gradient.stops.push_back({f.ratios[i], f.colors[i]});
    if (gradient.stops.empty())
        return {};
    std::stable_sort(gradient.stops.begin(), gradient.stops.end(),
                     [](const auto& a, const auto& b) { return a.ratio < b.ratio; });
    return rampOf(gradient, ColorTransform{});
}

int rampIndex(float t) // 0 to 1
{
    return std::clamp(int(std::lround(t * 255)), 0, 255);
}

// A drop shadow, or a glow (a shadow that does not move): the picture's alpha blurred, moved,
// strengthened and coloured, under the picture, inside it, or alone. A gradient glow takes its
// colour from its ramp by how strong the glow is.
void shadow(const Filter& f, QImage& layer, double scale)
{
    const Plane picture = alphaOf(layer);
    const Plane shade = blurredAlpha(f, picture, scale);
    const std::pair<int, int> offset = f.kind == Filter::Kind::Glow ? std::pair(0, 0) : offsetOf(f, scale);
    const int dx = offset.first, dy = offset.second;
    const auto strength = float(f.strength);
    const auto cast = [&](int x, int y) { return std::min(1.0f, shade.get(x - dx, y - dy) * strength); };
    if (f.kind == Filter::Kind::GradientGlow) {
        const Ramp ramp = filterRamp(f);
        lay(f, layer, picture, glowPlacing(f), [&](int x, int y) {
            const float c = cast(x, y);
            return c > 0 ? ramp[std::size_t(rampIndex(c))] : 0;
        });
        return;
    }
    const Rgba color = f.colors.empty() ? Rgba{0, 0, 0, 255} : f.colors.front();
    lay(f, layer, picture, glowPlacing(f), [&](int x, int y) { return pixelOf(color, cast(x, y)); });
}

// A bevel: the blurred alpha seen from the light and from the other side; where the light's side
// is the more solid, the highlight, where the other's, the shadow. A gradient bevel takes both
// from its ramp: the highlight below its middle, the shadow above.
void bevel(const Filter& f, QImage& layer, double scale)
{
    const Plane picture = alphaOf(layer);
    Plane shade = picture;
    blur(shade, blurOf(f.blurX, scale), blurOf(f.blurY, scale), passesOf(f));
    const std::pair<int, int> offset = offsetOf(f, scale);
    const int dx = offset.first, dy = offset.second;
    const auto strength = float(f.strength);
    // Above 0 for the highlight, below for the shadow.
    const auto lit = [&](int x, int y) {
        return std::clamp((shade.get(x + dx, y + dy) - shade.get(x - dx, y - dy)) * strength, -1.0f, 1.0f);
    };
    if (f.kind == Filter::Kind::GradientBevel) {
        const Ramp ramp = filterRamp(f);
        lay(f, layer, picture, bevelPlacing(f), [&](int x, int y) {
            const float l = lit(x, y);
            return l == 0 ? 0 : ramp[std::size_t(rampIndex(0.5f - l / 2))];
        });
        return;
    }
    const Rgba shadowColor = f.colors.size() > 0 ? f.colors[0] : Rgba{0, 0, 0, 255};
    const Rgba highlight = f.colors.size() > 1 ? f.colors[1] : Rgba{255, 255, 255, 255};
    lay(f, layer, picture, bevelPlacing(f), [&](int x, int y) {
        const float l = lit(x, y);
        return l > 0 ? pixelOf(highlight, l) : pixelOf(shadowColor, -l);
    });
}

void blurLayer(const Filter& f, QImage& layer, double scale)
{
    Plane plane(layer.width(), layer.height(), 4);
    float* value = plane.values.data();
    for (int y = 0; y < layer.height(); ++y) {
        const auto* row = reinterpret_cast<const Pixel*>(layer.constScanLine(y));
        for (int x = 0; x < layer.width(); ++x)
            for (int channel = 0; channel < 4; ++channel)
                *value++ = float(row[x] >> (8 * channel) & 0xFF);
    }
    blur(plane, blurOf(f.blurX, scale), blurOf(f.blurY, scale), passesOf(f));
    value = plane.values.data();
    for (int y = 0; y < layer.height(); ++y) {
        auto* row = reinterpret_cast<Pixel*>(layer.scanLine(y));
        for (int x = 0; x < layer.width(); ++x, value += 4) {
            const auto alpha = rounded(std::clamp(value[3], 0.0f, 255.0f));
            Pixel p = alpha << 24;
            for (int channel = 0; channel < 3; ++channel)
                p |= rounded(std::clamp(value[channel], 0.0f, float(alpha))) << (8 * channel);
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
            row[x] = rounded(out[3]) << 24 | rounded(out[0] * alpha) << 16 | rounded(out[1] * alpha) << 8
                     | rounded(out[2] * alpha);
        }
    }
}

// Each pixel the weighted sum of those around it, on straight colour: outside the picture,
// its edge pixels carried on, or the filter's default colour.
void convolution(const Filter& f, QImage& layer)
{
    const int columns = f.columns, rows = f.rows;
    if (columns <= 0 || rows <= 0 || columns > kLargestConvolution || rows > kLargestConvolution
        || f.matrix.size() != std::size_t(columns) * std::size_t(rows) || f.divisor == 0)
        return;
    const QImage source = layer.convertToFormat(QImage::Format_ARGB32);
    const int width = layer.width(), height = layer.height();
    const Rgba outside = f.defaultColor;
    const auto straight = [&](int x, int y) -> std::array<float, 4> {
        if (f.clamp) {
            x = std::clamp(x, 0, width - 1);
            y = std::clamp(y, 0, height - 1);
        } else if (x < 0 || y < 0 || x >= width || y >= height) {
            return {float(outside.r), float(outside.g), float(outside.b), float(outside.a)};
        }
        const QRgb p = reinterpret_cast<const QRgb*>(source.constScanLine(y))[x];
        return {float(qRed(p)), float(qGreen(p)), float(qBlue(p)), float(qAlpha(p))};
    };
    for (int y = 0; y < height; ++y) {
        auto* row = reinterpret_cast<Pixel*>(layer.scanLine(y));
        for (int x = 0; x < width; ++x) {
            std::array<float, 4> sum{};
            for (int j = 0; j < rows; ++j)
                for (int i = 0; i < columns; ++i) {
                    const float weight = f.matrix[std::size_t(j) * std::size_t(columns) + std::size_t(i)];
                    if (weight == 0)
                        continue;
                    const auto v = straight(x + i - columns / 2, y + j - rows / 2);
                    for (std::size_t c = 0; c < 4; ++c)
                        sum[c] += weight * v[c];
                }
            std::array<float, 4> out{};
            for (std::size_t c = 0; c < 4; ++c)
                out[c] = std::clamp(sum[c] / f.divisor + f.bias, 0.0f, 255.0f);
            if (f.preserveAlpha)
                out[3] = straight(x, y)[3];
            row[x] = premultiplied(Rgba{std::uint8_t(rounded(out[0])), std::uint8_t(rounded(out[1])),
                                        std::uint8_t(rounded(out[2])), std::uint8_t(rounded(out[3]))});
        }
    }
}

} // namespace

int filterReach(const std::vector<Filter>& filters, double scale)
{
    double reach = 0;
    for (const Filter& f : filters) {
        const double blur = std::max(blurOf(f.blurX, scale), blurOf(f.blurY, scale)) / 2 * std::max(1, passesOf(f));
        const double moved = std::clamp(std::fabs(f.distance), 0.0, kLargestBlur) * scale; // 0 if it moves nothing
        if (f.kind == Filter::Kind::Convolution)
            reach += std::max(f.columns, f.rows) / 2;
        else if (f.kind != Filter::Kind::ColorMatrix)
            reach += blur + moved;
    }
    return int(std::ceil(std::min(reach, 4096.0))) + 1;
}

void applyFilters(const std::vector<Filter>& filters, QImage& layer, double scale, std::size_t& work)
{
    const std::size_t pixels = std::size_t(layer.width()) * std::size_t(layer.height());
    for (const Filter& f : filters) {
        // Roughly how many values it computes: a blur passes over four channels, the others over
        // alpha and a picture, a convolution over its matrix.
        const std::size_t each = f.kind == Filter::Kind::Convolution ? std::size_t(std::max(1, f.columns * f.rows)) * 4
                                                                     : std::size_t(std::max(1, passesOf(f))) * 4 + 4;
        if (pixels * each > work)
            return; // the rest of the list is left undone, and the picture stays as it is now
        work -= pixels * each;
        switch (f.kind) {
        case Filter::Kind::Blur: blurLayer(f, layer, scale); break;
        case Filter::Kind::DropShadow:
        case Filter::Kind::Glow:
        case Filter::Kind::GradientGlow: shadow(f, layer, scale); break;
        case Filter::Kind::Bevel:
        case Filter::Kind::GradientBevel: bevel(f, layer, scale); break;
        case Filter::Kind::ColorMatrix: colorMatrix(f, layer); break;
        case Filter::Kind::Convolution: convolution(f, layer); break;
        }
    }
}

} // namespace quillmere::swf::qt
