// Scripts' bitmaps painted with the renderer's own parts: a clip drawn as the stage draws it,
// filters as objects' filters are applied.

#include <algorithm>
#include <cmath>

#include <QPainter>

#include "swf/qt/bitmaps.h"
#include "swf/qt/blend_modes.h"
#include "swf/qt/convert.h"
#include "swf/qt/coverage.h"
#include "swf/qt/edit_text.h"
#include "swf/qt/filters.h"
#include "swf/qt/outlines.h"
#include "swf/qt/rasterizer.h"
#include "swf/qt/renderer.h"
#include "swf/script_painter.h"

namespace quillmere::swf {

namespace {

// The bitmap's pixels seen as an image, which paints into them.
QImage imageOver(Bitmap& bitmap)
{
    return QImage(reinterpret_cast<uchar*>(bitmap.argb.data()), int(bitmap.width), int(bitmap.height),
                  int(bitmap.width * sizeof(std::uint32_t)), QImage::Format_ARGB32_Premultiplied);
}

QImage blankLike(const Bitmap& bitmap)
{
    QImage image(int(bitmap.width), int(bitmap.height), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

// `picture`, the size of `into`, over the part of it `over` gives, in its blend mode.
void layOver(const QImage& picture, const ScriptPainter::Over& over, Bitmap& into)
{
    const std::uint32_t x1 = std::min(over.x1, into.width), y1 = std::min(over.y1, into.height);
    if (over.x0 >= x1)
        return;
    for (std::uint32_t y = over.y0; y < y1; ++y)
        qt::blendRow(over.blend, reinterpret_cast<const qt::Pixel*>(picture.constScanLine(int(y))) + over.x0,
                     into.argb.data() + std::size_t(y) * into.width + over.x0, int(x1 - over.x0), nullptr);
}

class RasterScriptPainter final : public ScriptPainter {
public:
    explicit RasterScriptPainter(std::shared_ptr<const Movie> movie)
        : outlines_(movie), bitmaps_(std::move(movie)), rasterizer_(outlines_, bitmaps_)
    {
    }

    void draw(const DisplayList& list, const Matrix& matrix, const ColorTransform& colors, const Over& over,
              Bitmap& into) override
    {
        QImage picture = blankLike(into);
        if (picture.isNull())
            return;
        const QTransform twipsToPixels
            = QTransform::fromScale(1 / kTwipsPerPixel, 1 / kTwipsPerPixel) * qt::toQt(matrix);
        rasterizer_.draw(list, Rgba{0, 0, 0, 0}, twipsToPixels, picture, picture.rect(), colors);
        layOver(picture, over, into);
    }

    void draw(const Bitmap& from, const Matrix& matrix, const ColorTransform& colors, const Over& over,
              Bitmap& into) override
    {
        QImage picture = blankLike(into);
        if (picture.isNull())
            return;
        QPainter painter(&picture);
        painter.setRenderHint(QPainter::SmoothPixmapTransform, over.smoothing);
        painter.setTransform(qt::toQt(matrix));
        painter.drawImage(0, 0, bitmaps_.get(from, colors));
        painter.end();
        layOver(picture, over, into);
    }

    void filter(const Bitmap& from, Area area, const Filter& filter, Bitmap& into, bool intoHasAlpha) override
    {
        QImage picture = bitmaps_.get(from, ColorTransform{})
                             .copy(int(area.fromX), int(area.fromY), int(area.width), int(area.height));
        std::size_t work = kMostFilterWork;
        qt::applyFilters({filter}, picture, 1, work);
        QImage target = imageOver(into);
        QPainter painter(&target);
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        if (!intoHasAlpha) { // a bitmap without alpha keeps none: what the filter left clear shows black
            painter.fillRect(QRect(int(area.toX), int(area.toY), picture.width(), picture.height()), Qt::black);
            painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
        }
        painter.drawImage(QPoint(int(area.toX), int(area.toY)), picture);
    }

    bool covers(const DisplayList& list, const Matrix& toStage, Point onStage) override
    {
        const QTransform transform = qt::toQt(toStage);
        const QPointF point(onStage.x, onStage.y);
        return std::any_of(list.begin(), list.end(), [&](const auto& entry) {
            const DisplayObject& child = entry.second;
            return child.effects.visible && !child.clipDepth && !child.isMask
                   && qt::coverage(child, transform, outlines_).contains(point);
        });
    }

    FieldLayout layOut(const EditText& field) override
    {
        const qt::EditTextLayout laidOut = qt::layOut(field, outlines_);
        const QRectF& frame = laidOut.bounds; // whole twips
        return {Rect{std::int32_t(frame.left()), std::int32_t(frame.right()), std::int32_t(frame.top()),
                     std::int32_t(frame.bottom())},
                laidOut.text.width(),
                laidOut.text.height(),
                laidOut.maxScroll,
                laidOut.scroll,
                laidOut.bottomScroll};
    }

    std::optional<Bitmap> decoded(std::uint16_t id) override
    {
        const QImage& image = bitmaps_.get(id, ColorTransform{});
        if (image.isNull())
            return std::nullopt;
        const QImage pixels = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
        Bitmap bitmap;
        bitmap.width = std::uint32_t(pixels.width());
        bitmap.height = std::uint32_t(pixels.height());
        bitmap.argb.reserve(std::size_t(bitmap.width) * bitmap.height);
        for (int y = 0; y < pixels.height(); ++y) {
            const auto* row = reinterpret_cast<const std::uint32_t*>(pixels.constScanLine(y));
            bitmap.argb.insert(bitmap.argb.end(), row, row + pixels.width());
        }
        return bitmap;
    }

private:
    static constexpr std::size_t kMostFilterWork = std::size_t(1) << 26;

    qt::Outlines outlines_;
    qt::Bitmaps bitmaps_;
    qt::Rasterizer rasterizer_;
};

} // namespace

std::shared_ptr<ScriptPainter> scriptPainter(std::shared_ptr<const Movie> movie)
{
    return std::make_shared<RasterScriptPainter>(std::move(movie));
}

} // namespace quillmere::swf
