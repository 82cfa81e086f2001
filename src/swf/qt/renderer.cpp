#include "swf/qt/renderer.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "swf/limits.h"
#include "swf/qt/hit_test.h"

namespace quillmere::swf {

Renderer::Renderer(std::shared_ptr<const Movie> movie)
    : movie_(movie), outlines_(movie), bitmaps_(std::move(movie)), rasterizer_(outlines_, bitmaps_)
{
}

Renderer::~Renderer() = default;

QImage Renderer::renderStage(const Player& player)
{
    const Rect& stage = movie_->stage;
    const QSize size(int(std::lround(stage.width() / kTwipsPerPixel)),
                     int(std::lround(stage.height() / kTwipsPerPixel)));
    return render(player, size,
                  QTransform::fromTranslate(-stage.xMin, -stage.yMin)
                      * QTransform::fromScale(1 / kTwipsPerPixel, 1 / kTwipsPerPixel));
}

QImage Renderer::renderShowAll(const Player& player, QSize size)
{
    return render(player, size, showAllTransform(size));
}

QTransform Renderer::showAllTransform(QSizeF size) const
{
    const Rect& stage = movie_->stage;
    if (stage.width() <= 0 || stage.height() <= 0)
        return QTransform::fromScale(0, 0);
    const double scale = std::min(size.width() / stage.width(), size.height() / stage.height());
    return QTransform::fromTranslate(-stage.xMin, -stage.yMin) * QTransform::fromScale(scale, scale)
           * QTransform::fromTranslate((size.width() - stage.width() * scale) / 2,
                                       (size.height() - stage.height() * scale) / 2);
}

QRect Renderer::changedArea(const Player& player, QSizeF size)
{
    const QRect changed = damage_.changedArea(player.root().displayList(), showAllTransform(size), outlines_);
    if (std::exchange(lastQuality_, player.quality()) != player.quality())
        return QRectF(QPointF(), size).toAlignedRect(); // every edge is drawn anew
    return changed;
}

std::uint64_t Renderer::buttonAt(const Player& player, QSizeF size, QPointF point)
{
    return qt::buttonAt(player.root().displayList(), showAllTransform(size), point, outlines_);
}

QImage Renderer::render(const Player& player, QSize size, const QTransform& stageToImage)
{
    if (size.isEmpty() || size.width() > kMaxRenderSide || size.height() > kMaxRenderSide)
        return {};
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    if (!image.isNull() && !draw(player, stageToImage, image, image.rect()))
        return {};
    return image;
}

bool Renderer::draw(const Player& player, const QTransform& stageToImage, QImage& image, QRect area)
{
    rasterizer_.setAliased(player.quality() == PlayContext::Quality::Low);
    return rasterizer_.draw(player.root().displayList(), movie_->background, stageToImage, image, area);
}

} // namespace quillmere::swf
