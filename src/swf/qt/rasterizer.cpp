#include "swf/qt/rasterizer.h"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <variant>
#include <vector>

#include <QPainter>
#include <QPainterPath>
#include <QRegion>

#include "swf/qt/convert.h"
#include "swf/qt/coverage.h"
#include "swf/qt/edit_text.h"
#include "swf/qt/outlines.h"
#include "swf/qt/paint.h"

namespace quillmere::swf::qt {

namespace {

// The pixels of `image` from `at` on, `rows` rows at the most: each the mean of a block of
// kSamples x kSamples premultiplied samples of `band`, rounded half up. Two channels are summed at
// a time, each in 16 bits of a 32-bit word, which holds the sum of up to 256 samples.
void averageInto(const QImage& band, QImage& image, QPoint at, int rows)
{
    constexpr int factor = Rasterizer::kSamples;
    constexpr std::uint32_t n = factor * factor, half = n / 2 * 0x00010001u;
    static_assert(n <= 256, "a sum must fit in 16 bits");
    const int width = band.width() / factor;
    rows = std::min({band.height() / factor, rows, image.height() - at.y()});
    std::vector<std::uint32_t> sums(std::size_t(width) * 2); // alpha and green, red and blue
    for (int y = 0; y < rows; ++y) {
        std::fill(sums.begin(), sums.end(), 0);
        for (int row = 0; row < factor; ++row) {
            const auto* in = reinterpret_cast<const QRgb*>(band.constScanLine(y * factor + row));
            std::uint32_t* sum = sums.data();
            for (int x = 0; x < width; ++x, sum += 2)
                for (int k = 0; k < factor; ++k, ++in) {
                    sum[0] += (*in >> 8) & 0x00FF00FFu;
                    sum[1] += *in & 0x00FF00FFu;
                }
        }
        auto* out = reinterpret_cast<QRgb*>(image.scanLine(at.y() + y)) + at.x();
        const std::uint32_t* sum = sums.data();
        for (int x = 0; x < width; ++x, sum += 2) {
            const std::uint32_t ag = sum[0] + half, rb = sum[1] + half;
            out[x] = ((ag >> 16) / n) << 24 | ((ag & 0xFFFF) / n) << 8 | ((rb >> 16) / n) << 16 | ((rb & 0xFFFF) / n);
        }
    }
}

// What a mask lets through, in whole output pixels: players do not anti-alias a mask, so a
// pixel is inside it when its centre is, and the content it reveals keeps its own smooth edges.
// `area` is in the samples of a band `width` x `height`.
QRegion wholePixels(const QPainterPath& area, int width, int height)
{
    constexpr int n = Rasterizer::kSamples;
    QImage pixels(width / n, height / n, QImage::Format_Grayscale8);
    if (pixels.isNull())
        return {};
    pixels.fill(0);
    {
        QPainter painter(&pixels);
        painter.scale(1.0 / n, 1.0 / n);
        painter.fillPath(area, Qt::white);
    }
    std::vector<QRect> runs;
    for (int y = 0; y < pixels.height(); ++y) {
        const uchar* row = pixels.constScanLine(y);
        for (int x = 0; x < pixels.width();) {
            if (!row[x]) {
                ++x;
                continue;
            }
            const int start = x;
            while (x < pixels.width() && row[x])
                ++x;
            runs.emplace_back(start * n, y * n, (x - start) * n, n);
        }
    }
    QRegion region;
    region.setRects(runs.data(), int(runs.size()));
    return region;
}

void drawShape(QPainter& painter, const Shape& shape, const Outlines::ShapePaths& cached, const QTransform& transform,
               const ColorTransform& colors, Bitmaps& bitmaps)
{
    for (std::size_t layer = 0; layer < shape.layers.size(); ++layer) {
        const ShapeLayer& styles = shape.layers[layer];
        for (std::size_t i = 0; i < styles.fills.size(); ++i)
            if (!cached.fills[layer][i].isEmpty())
                fill(painter, cached.fills[layer][i], styles.fills[i], transform, colors, bitmaps);
        for (std::size_t i = 0; i < styles.lines.size(); ++i) {
            const QPainterPath& path = cached.lines[layer][i];
            if (path.isEmpty())
                continue;
            const QPen stroke = pen(styles.lines[i], transform, Rasterizer::kSamples, colors, bitmaps);
            painter.setTransform(transform);
            painter.strokePath(path, stroke);
        }
    }
}

} // namespace

// Draws one character: one member for each kind of character, so that a new kind does not
// compile until it says how it is drawn.
struct Rasterizer::Draw {
    Rasterizer& rasterizer;
    QPainter& painter;
    const DisplayObject& object;
    const QTransform& transform;
    const ColorTransform& colors;

    void operator()(const Shape& shape)
    {
        drawShape(painter, shape, rasterizer.outlines_.paths(shape), transform, colors, rasterizer.bitmaps_);
    }
    void operator()(const MorphShape& morph)
    {
        const Outlines::MorphFrame& frame = rasterizer.outlines_.morphAt(morph, object.ratio);
        drawShape(painter, frame.shape, frame.paths, transform, colors, rasterizer.bitmaps_);
    }
    void operator()(const Text& text)
    {
        rasterizer.outlines_.forEachGlyph(
            text, transform, [this](const TextRun& run, const QPainterPath& outline, const QTransform& at) {
                painter.setTransform(at);
                painter.fillPath(outline, toQt(colors.apply(run.color)));
            });
    }
    void operator()(const EditText& field) { drawEditText(painter, field, transform, colors, rasterizer.outlines_); }
    void operator()(const Sprite&)
    {
        if (object.sprite)
            rasterizer.drawList(painter, object.sprite->displayList(), transform, colors);
    }
    void operator()(const Button&)
    {
        if (object.button)
            rasterizer.drawList(painter, object.button->states[object.button->state], transform, colors);
    }
    void operator()(const Bitmap&) {} // drawn only as a shape's fill
    void operator()(const Font&) {}
};

bool Rasterizer::draw(const DisplayList& list, Rgba background, const QTransform& stageToImage, QImage& image,
                      QRect area)
{
    area &= image.rect();
    if (area.isEmpty())
        return true;
    QImage band(area.width() * kSamples, std::min(area.height(), kBandRows) * kSamples,
                QImage::Format_ARGB32_Premultiplied);
    if (band.isNull())
        return false;
    for (int top = area.top(); top <= area.bottom(); top += kBandRows) {
        band.fill(toQt(background));
        {
            QPainter painter(&band);
            drawList(painter, list,
                     stageToImage * QTransform::fromTranslate(-area.left(), -top)
                         * QTransform::fromScale(kSamples, kSamples),
                     ColorTransform{});
        }
        averageInto(band, image, QPoint(area.left(), top), area.bottom() - top + 1);
    }
    return true;
}

void Rasterizer::drawList(QPainter& painter, const DisplayList& list, const QTransform& transform,
                          const ColorTransform& colors)
{
    struct Mask {
        std::uint16_t untilDepth;
        QPainterPath area; // device pixels
    };
    std::vector<Mask> masks;
    std::optional<QRegion> visible; // what the masks let through, once worked out
    for (const auto& [depth, object] : list) {
        if (std::erase_if(masks, [depth](const Mask& mask) { return mask.untilDepth < depth; }) > 0)
            visible.reset();
        if (object.clipDepth) {
            masks.push_back({*object.clipDepth, coverage(object, transform, outlines_)});
            visible.reset();
            continue;
        }
        if (masks.empty()) {
            drawObject(painter, object, transform, colors);
            continue;
        }
        if (!visible) {
            QPainterPath area = masks.front().area;
            for (std::size_t i = 1; i < masks.size(); ++i)
                area = area.intersected(masks[i].area);
            visible = wholePixels(area, painter.device()->width(), painter.device()->height());
        }
        painter.save();
        painter.resetTransform();
        painter.setClipRegion(*visible, Qt::IntersectClip);
        drawObject(painter, object, transform, colors);
        painter.restore();
    }
}

void Rasterizer::drawObject(QPainter& painter, const DisplayObject& object, const QTransform& parentTransform,
                            const ColorTransform& parentColors)
{
    if (!object.character)
        return;
    const QTransform transform = toQt(object.matrix) * parentTransform;
    const ColorTransform colors = parentColors.after(object.colorTransform);
    std::visit(Draw{*this, painter, object, transform, colors}, *object.character);
}

} // namespace quillmere::swf::qt
