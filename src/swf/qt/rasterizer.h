#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <vector>

#include <QImage>
#include <QRect>
#include <QTransform>

#include "swf/player.h"
#include "swf/qt/coverage_cache.h"
#include "swf/qt/paint.h"
#include "swf/qt/sample_coverage.h"
#include "swf/scaling_grid.h"

class QPainterPath;

namespace quillmere::swf::qt {

class Bitmaps;
class Outlines;

// Draws a display list into an image, 4 x 4 samples a pixel: an outline covers samples, and a
// pixel keeps one colour until an edge crosses it, its samples only from then on. So a large
// fill costs little more than its outline, and outlines that meet leave no seam. Masks have
// hard edges: a pixel is inside one when its centre is. Its buffers are kept from one drawing to
// the next.
class Rasterizer {
public:
    static constexpr int kBandRows = 512; // drawn a band at a time, so that a large stage costs no more memory

    Rasterizer(Outlines& outlines, Bitmaps& bitmaps) : outlines_(outlines), bitmaps_(bitmaps) {}

    // Draws the part `area` of `list` over `background`, with `stageToImage` taking twips to the
    // pixels of `image`, which is ARGB32 premultiplied (false if not), in `colors`.
    bool draw(const DisplayList& list, Rgba background, const QTransform& stageToImage, QImage& image, QRect area,
              const ColorTransform& colors = {});
    // Whether to draw as a movie at low quality asks: each pixel wholly of what covers its
    // centre, and bitmaps unsmoothed.
    void setAliased(bool aliased) { aliased_ = aliased; }

private:
    struct Draw;
    // A fill to paint: its coverage found now into `own`, or kept from a drawing before.
    struct Fill {
        SampleCoverage own;
        SampleCoverage* kept;
        Paint paint;
        QPainterPath path; // what `own` is the coverage of, to be kept
        QTransform transform;
    };
    using SampleColors = std::array<Pixel, SampleCoverage::kSamples * SampleCoverage::kSamples>;
    // A pixel whose samples differ: each kept until the drawing ends, then averaged. Most such
    // pixels have two colours, an edge's either side: `outside` for the samples not in `inside`,
    // `in` for those in it. The others have a colour for each sample, in `sampleColors_`.
    struct Samples {
        int x, y;
        SampleCoverage::Samples inside;
        std::int32_t each = -1; // an index in sampleColors_, or -1 for two colours
        Pixel outside, in;
    };

    static constexpr int kMostNestedLayers = 8; // deeper ones are drawn straight in their parent's

    // An object's layer, filtered, kept while it is drawn, and drawn anew only when how it
    // looks changes: a still shadow or glow costs only its compositing.
    struct KeptLayer {
        QRect rect;                         // in the image drawn
        std::optional<std::uint64_t> drawn; // the look it holds, once drawn
        std::uint64_t lastUsed;
        QImage image;
    };
    static constexpr std::size_t kMostKeptLayerPixels = std::size_t(1) << 22; // 16 MB
    static constexpr std::size_t kMostKeptLayers = 4096;
    // The kept layer of the object `instance`, made for `rect` if it has none; null when none
    // can be kept.
    KeptLayer* keptLayerFor(std::uint64_t instance, QRect rect);

    // Makes `area` (in the image) the band drawn next, filled with `fill`.
    void beginBand(QRect area, Pixel fill);
    void drawList(const DisplayList& list, const QTransform& transform, const ColorTransform& colors);
    void drawObject(const DisplayObject& object, const QTransform& transform, const ColorTransform& colors);
    // An object with a blend mode or filters: drawn alone into a transparent layer, filtered,
    // then laid over the band in its mode. `parent` takes its parent's coordinates to pixels.
    void drawInLayer(const DisplayObject& object, const QTransform& parent, const ColorTransform& colors);
    // The object's own picture, over its opaque background if it has one.
    void drawPicture(const DisplayObject& object, const QTransform& parent, const ColorTransform& colors);
    void drawShape(const Shape& shape, const QTransform& transform, const ColorTransform& colors);
    // Fills `path` through `transform` on its own, clipped to `clip` within the area drawn.
    void fillPath(const QPainterPath& path, const QTransform& transform, Paint paint, QRect clip);
    // Adds `path` through `transform`, clipped to `clip`, to the fills to paint together.
    void addFill(const QPainterPath& path, const QTransform& transform, QRect clip, Paint paint);
    // Paints the fills in turn over the image, each over the samples it covers.
    void composite();
    void paintSamples(Pixel* row, int x, int y, std::int32_t& at, Pixel color, SampleCoverage::Samples samples);
    void forgetSamples(std::int32_t& at);
    void averageSamples();
    void endDrawing();
    // The pixels whose centres `area` (in pixels) holds, as a mask of the area drawn.
    QImage maskOf(const QPainterPath& area) const;
    // What a scroll rectangle and a mask set by scripts let through of `object`, with the mask
    // it is drawn in; none when it has neither.
    std::optional<QImage> scriptMaskOf(const DisplayObject& object, const QTransform& parent) const;
    bool reaches(const QRectF& deviceBounds) const { return deviceBounds.intersects(QRectF(area_)); }

    Outlines& outlines_;
    Bitmaps& bitmaps_;
    Ramps ramps_;
    Pixel* pixels_ = nullptr; // the image's, row by row
    std::size_t pixelsPerRow_ = 0;
    QRect area_;
    const QImage* mask_ = nullptr; // what the masks of the objects drawn now let through
    // The clip with a nine-slice grid whose shapes are drawn now, and its transform to the image.
    struct SlicingClip {
        Slicing slicing;
        QTransform transform;
    };
    std::optional<SlicingClip> slicingClip_;

    CoverageCache coverages_;
    std::unique_ptr<Rasterizer> layers_;            // draws the layers of objects drawn in layers
    int layerDepth_ = 0;                            // 0 when drawing the image, else how deep in layers
    QImage layer_;                                  // the layer drawn in when none is kept
    std::map<std::uint64_t, KeptLayer> keptLayers_; // by object instance
    std::size_t keptPixels_ = 0;
    std::uint64_t drawing_ = 0;
    double stageScale_ = 1;   // pixels to a pixel of the stage
    QTransform stageToImage_; // where the stage lies in what is drawn, for masks set by scripts
    // Layer pixels filtered in this drawing: past kMostLayerPixels, objects are drawn as they
    // are, so that many or large filtered objects cost a bounded time a frame.
    std::size_t layerPixels_ = 0;
    static constexpr std::size_t kMostLayerPixels = std::size_t(1) << 24;
    // Values filters may compute in one drawing, layers in layers included: past it, filters
    // are left undone, so that a hostile movie's many passes over large layers cost a bounded
    // time a frame.
    static constexpr std::size_t kMostFilterWork = std::size_t(1) << 26;
    std::size_t filterWork_ = kMostFilterWork;
    // A larger layer, its filters' planes several times its size, is not made.
    static constexpr std::size_t kMostPixelsInALayer = std::size_t(1) << 22;
    std::vector<Fill> fills_; // kept with their room for edges; the first fillsUsed_ in use
    std::size_t fillsUsed_ = 0;
    bool aliased_ = false;
    std::vector<Samples> samples_;
    std::vector<SampleColors> sampleColors_;
    // By pixel of the area, row by row: an index in samples_, or -1 for none, as all are between
    // drawings.
    std::vector<std::int32_t> samplesAt_;
    std::vector<int> samplesInRow_; // how many of each row's pixels of the area have samples
    std::vector<Pixel> shaded_;
};

} // namespace quillmere::swf::qt
