#pragma once

#include <map>
#include <memory>
#include <utility>
#include <vector>

#include <QImage>
#include <QPainterPath>
#include <QTransform>

#include "swf/player.h"

class QPainter;
class QBrush;

namespace quillmere::swf {

// Draws what a Player shows with QPainter, anti-aliased as the format's players do it: drawn
// without anti-aliasing at four times the size, then averaged down, so that shapes that meet
// leave no seam.
// Does: shapes with solid, gradient (linear, radial, focal; pad, reflect, repeat; RGB and
// linear-RGB interpolation) and bitmap fills; strokes with their caps, joins and fills; static
// text in embedded fonts; colour transforms; masks.
// Also: buttons in the state the pointer gives them, morph shapes at their ratio, and text
// fields as static text, in their embedded font or a sans-serif face of the same height.
// Does not: filters, blend modes, video.
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
    struct ShapePaths {
        std::vector<std::vector<QPainterPath>> fills; // by layer, then fill style
        std::vector<std::vector<QPainterPath>> lines; // by layer, then line style
        QPainterPath outline;                         // every fill together, for masks
    };

    QImage render(const Player& player, QSize size, const QTransform& stageToImage);
    bool draw(const Player& player, const QTransform& stageToImage, QImage& image, QRect area);
    std::uint64_t fingerprint(const DisplayObject& object) const;
    QRectF bounds(const DisplayObject& object, const QTransform& transform);
    void drawList(QPainter& painter, const DisplayList& list, const QTransform& transform,
                  const ColorTransform& colors);
    void drawObject(QPainter& painter, const DisplayObject& object, const QTransform& transform,
                    const ColorTransform& colors);
    void drawShape(QPainter& painter, const Shape& shape, const ShapePaths& cached, const QTransform& transform,
                   const ColorTransform& colors);
    void drawEditText(QPainter& painter, const EditText& field, const QTransform& transform,
                      const ColorTransform& colors);
    std::uint64_t buttonIn(const DisplayList& list, const QTransform& transform, QPointF point);
    void drawText(QPainter& painter, const Text& text, const QTransform& transform, const ColorTransform& colors);
    // Each glyph of a text: its run, its outline and where it goes.
    template <typename Visit>
    void forEachGlyph(const Text& text, const QTransform& transform, Visit visit);
    void fill(QPainter& painter, const QPainterPath& path, const FillStyle& style, const QTransform& transform,
              const ColorTransform& colors);
    QBrush brush(const FillStyle& style, const ColorTransform& colors);
    // The area an object covers, in device pixels: what a mask lets through.
    QPainterPath coverage(const DisplayObject& object, const QTransform& transform);

    static ShapePaths pathsOf(const Shape& shape);
    // Where a shape draws: its fills, and its strokes as far as they reach. Movies' own bounds
    // may leave strokes out.
    static QRectF drawnArea(const Shape& shape, const ShapePaths& paths, const QTransform& transform);
    const ShapePaths& paths(const Shape& shape);
    struct MorphFrame {
        Shape shape;
        ShapePaths paths;
    };
    const MorphFrame& morphAt(const MorphShape& morph, std::uint16_t ratio);
    const std::vector<QPainterPath>& glyphs(const Font& font);
    const QImage& bitmap(std::uint16_t id, const ColorTransform& colors);

    std::shared_ptr<const Movie> movie_;
    double pixel_ = 1; // device units to an output pixel while drawing
    struct Seen {
        std::uint64_t fingerprint;
        QRectF bounds;
    };
    std::map<std::uint16_t, Seen> seen_; // the top-level objects as changedArea last saw them
    std::map<const Shape*, ShapePaths> shapes_;
    std::map<std::pair<const MorphShape*, std::uint16_t>, MorphFrame> morphs_;
    std::map<const Font*, std::vector<QPainterPath>> fonts_;
    std::map<std::uint16_t, QImage> bitmaps_;
    std::map<std::pair<std::uint16_t, std::vector<double>>, QImage> transformedBitmaps_;
};

} // namespace quillmere::swf
