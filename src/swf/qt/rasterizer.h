#pragma once

#include <QImage>
#include <QRect>
#include <QTransform>

#include "swf/player.h"

class QPainter;

namespace quillmere::swf::qt {

class Bitmaps;
class Outlines;

// Draws a display list into an image: drawn without anti-aliasing at kSamples times the size, a
// band of rows at a time, then each pixel the mean of its samples, so that shapes that meet
// leave no seam. Lives for one drawing; what is worth keeping lives in the caches it is given.
class Rasterizer {
public:
    static constexpr int kSamples = 4;   // a side: 16 samples a pixel
    static constexpr int kBandRows = 64; // drawn a band at a time, so that a large stage costs no more memory

    Rasterizer(Outlines& outlines, Bitmaps& bitmaps) : outlines_(outlines), bitmaps_(bitmaps) {}

    // Draws the part `area` of `list` over `background`, with `stageToImage` taking twips to the
    // pixels of `image`. False when there is no memory for it.
    bool draw(const DisplayList& list, Rgba background, const QTransform& stageToImage, QImage& image, QRect area);

private:
    struct Draw;

    void drawList(QPainter& painter, const DisplayList& list, const QTransform& transform,
                  const ColorTransform& colors);
    void drawObject(QPainter& painter, const DisplayObject& object, const QTransform& transform,
                    const ColorTransform& colors);

    Outlines& outlines_;
    Bitmaps& bitmaps_;
};

} // namespace quillmere::swf::qt
