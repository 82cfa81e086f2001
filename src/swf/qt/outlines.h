#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <tuple>
#include <utility>
#include <vector>

#include <QPainterPath>
#include <QRectF>
#include <QTransform>

#include "swf/movie.h"
#include "swf/scaling_grid.h"
#include "swf/qt/convert.h"

namespace quillmere::swf::qt {

// The outlines of a movie's shapes, morph shapes and fonts as QPainterPaths, made once and kept
// between frames: every job that asks where something lies shares them.
class Outlines {
public:
    struct ShapePaths {
        std::vector<std::vector<QPainterPath>> fills; // by layer, then fill style
        std::vector<std::vector<QPainterPath>> lines; // by layer, then line style
        QPainterPath outline;                         // every fill together, for masks
    };
    // A shape made as it is drawn: a morph's at a ratio, or one laid out by a nine-slice grid.
    struct MadeShape {
        Shape shape;
        ShapePaths paths;
    };

    explicit Outlines(std::shared_ptr<const Movie> movie) : movie_(std::move(movie)) {}

    const Movie& movie() const { return *movie_; }
    const ShapePaths& paths(const Shape& shape);
    const MadeShape& morphAt(const MorphShape& morph, std::uint16_t ratio);
    // `shape` placed with `toClip` in a clip that `slicing` lays out, in the clip's twips.
    const MadeShape& sliced(const Shape& shape, const Matrix& toClip, const Slicing& slicing);
    const std::vector<QPainterPath>& glyphs(const Font& font);
    // Line `line` of layer `layer` of a shape whose paths are `paths`, stroked through the
    // linear part of `transform`: the outline it fills, in pixels but for the translation.
    // Outlining costs more than filling, so each shape keeps those of the last such matrix.
    // A pixel-hinted line depends on where in a pixel the translation falls, too.
    const QPainterPath& stroke(const Shape& shape, const ShapePaths& paths, std::size_t layer, std::size_t line,
                               const QTransform& transform);

    // Each glyph of a text: its run, its outline and where it goes.
    template <typename Visit>
    void forEachGlyph(const Text& text, const QTransform& transform, Visit visit);

    // Where a shape draws: its fills, and its strokes as far as they reach. Movies' own bounds
    // may leave strokes out.
    static QRectF drawnArea(const Shape& shape, const ShapePaths& paths, const QTransform& transform);

private:
    static ShapePaths pathsOf(const Shape& shape);
    const ShapePaths& drawnPaths(const Shape& shape);

    std::shared_ptr<const Movie> movie_;
    std::map<const Shape*, ShapePaths> shapes_;
    std::map<std::uint64_t, ShapePaths> drawn_; // scripts' drawings, by serial
    std::map<std::pair<const MorphShape*, std::uint16_t>, MadeShape> morphs_;
    // By shape (and serial, for scripts' drawings), then placement and layout.
    using SliceKey = std::tuple<const Shape*, std::uint64_t, std::array<double, 6>, std::array<double, 10>>;
    std::map<SliceKey, MadeShape> slices_;
    std::map<const Font*, std::vector<QPainterPath>> fonts_;
    struct Stroke {
        std::optional<QPainterPath> outline;
        QPointF phase; // of a pixel-hinted line: the translation's fraction of a pixel
    };
    struct Strokes {
        QTransform linear;
        std::vector<std::vector<Stroke>> outlines; // by layer, then line
    };
    std::map<const ShapePaths*, Strokes> strokes_;
};

template <typename Visit>
void Outlines::forEachGlyph(const Text& text, const QTransform& transform, Visit visit)
{
    const QTransform textTransform = toQt(text.matrix) * transform;
    for (const TextRun& run : text.runs) {
        const Font* font = movie_->find<Font>(run.fontId);
        if (!font)
            continue;
        const std::vector<QPainterPath>& outlines = glyphs(*font);
        const double scale = run.height / font->unitsPerEm;
        double x = run.x;
        for (const auto& placed : run.glyphs) {
            if (placed.glyph < outlines.size())
                visit(run, outlines[placed.glyph],
                      QTransform::fromScale(scale, scale) * QTransform::fromTranslate(x, run.y) * textTransform);
            x += placed.advance;
        }
    }
}

} // namespace quillmere::swf::qt
