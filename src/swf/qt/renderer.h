#pragma once

#include <cstdint>
#include <memory>

#include <QImage>
#include <QPointF>
#include <QRect>
#include <QSize>
#include <QSizeF>
#include <QTransform>

#include "swf/player.h"
#include "swf/qt/bitmaps.h"
#include "swf/qt/damage.h"
#include "swf/qt/outlines.h"
#include "swf/qt/rasterizer.h"

namespace quillmere::swf {

// Draws what a Player shows, anti-aliased as the format's players do it: by the exact area each
// pixel has inside each outline, the fills of a shape blended by their shares of a pixel so that
// fills that meet leave no seam.
// Does: shapes with solid, gradient (linear, radial, focal; pad, reflect, repeat; RGB and
// linear-RGB interpolation) and bitmap fills; strokes with their caps, joins and fills; static
// text in embedded fonts; colour transforms; masks.
// Also: buttons in the state the pointer gives them, morph shapes at their ratio, and text
// fields as static text, in their embedded font or a sans-serif face of the same height.
// Also: filters, blend modes, and the bitmaps scripts draw, which scriptPainter() paints.
// Does not: video.
// Paths, decoded bitmaps and glyphs are kept between frames.
class Renderer {
public:
    explicit Renderer(std::shared_ptr<const Movie> movie);
    ~Renderer();

    // The whole stage at 1 pixel to 20 twips into an image of the stage's size, background
    // included. A null image when the stage is empty or too large to hold.
    QImage renderStage(const Player& player);
    // The stage scaled into an image of `size` pixels with its aspect kept and centred ("show
    // all"); the rest of the image takes the movie's background colour.
    QImage renderShowAll(const Player& player, QSize size);
    // Where the stage lies in an area of `size` drawn by renderShowAll, twips to pixels.
    QTransform showAllTransform(QSizeF size) const;
    // Draws the part `area` of what renderShowAll draws, into `image` of the same size: a frame
    // that changed little is redrawn where it changed.
    void redrawShowAll(const Player& player, QImage& image, QRect area)
    {
        draw(player, showAllTransform(image.size()), image, area);
    }
    // The pixels of an area of `size` that may differ from what the player showed when this was
    // last asked, or from nothing the first time; empty when nothing changed.
    QRect changedArea(const Player& player, QSizeF size);
    // The topmost button whose hit area holds `point` (pixels of renderShowAll's area), or 0.
    std::uint64_t buttonAt(const Player& player, QSizeF size, QPointF point);

private:
    QImage render(const Player& player, QSize size, const QTransform& stageToImage);
    bool draw(const Player& player, const QTransform& stageToImage, QImage& image, QRect area);

    std::shared_ptr<const Movie> movie_;
    qt::Outlines outlines_;
    qt::Bitmaps bitmaps_;
    qt::Damage damage_;
    PlayContext::Quality lastQuality_ = PlayContext::Quality::High; // as changedArea last saw it
    qt::Rasterizer rasterizer_;                                     // keeps its buffers from frame to frame
};

// Paints what a movie's scripts draw into their bitmaps: hand it to the movie's Player.
std::shared_ptr<ScriptPainter> scriptPainter(std::shared_ptr<const Movie> movie);

} // namespace quillmere::swf
