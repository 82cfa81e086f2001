#include "swf/qt/damage.h"

#include <cmath>
#include <cstddef>
#include <variant>

#include "swf/qt/convert.h"
#include "swf/qt/filters.h"
#include "swf/qt/fnv_hash.h"
#include "swf/qt/outlines.h"

namespace quillmere::swf::qt {

namespace {

using Hash = FnvHash;

Damage::Seen look(const DisplayObject& object, const QTransform& parent, double stageScale, Outlines& outlines);

// What one character adds to its object's fingerprint and bounds: one member for each kind of
// character, so that a new kind does not compile until it says where it draws. Characters never
// change as a movie plays, so an object's instance and placement, and what its sprite or button
// shows, are all its fingerprint needs.
struct Look {
    const DisplayObject& object;
    const QTransform& transform;
    double stageScale;
    Outlines& outlines;
    Hash& hash;
    QRectF& area;

    void operator()(const Shape& shape)
    {
        // A script's bitmap that is drawn on looks new.
        for (const ShapeLayer& layer : shape.layers)
            for (const FillStyle& fill : layer.fills)
                if (fill.scriptBitmap)
                    hash.mix(&fill.scriptBitmap->serial, sizeof fill.scriptBitmap->serial);
        area = transform.mapRect(toQt(shape.bounds)) | Outlines::drawnArea(shape, outlines.paths(shape), transform);
    }
    void operator()(const MorphShape& morph)
    {
        const Outlines::MadeShape& frame = outlines.morphAt(morph, object.ratio);
        area = Outlines::drawnArea(frame.shape, frame.paths, transform);
    }
    void operator()(const EditText& field) { area = transform.mapRect(toQt(field.bounds)); } // drawn clipped to them
    void operator()(const Text& text)
    {
        // Only the glyphs draw: bounds the movie gives can be larger, or smaller.
        outlines.forEachGlyph(text, transform,
                              [this](const TextRun&, const QPainterPath& outline, const QTransform& at) {
                                  area |= at.mapRect(outline.boundingRect());
                              });
    }
    void operator()(const Sprite&)
    {
        if (!object.sprite)
            return;
        const QTransform scrolled = scrolledContent(object, transform);
        Look inner{object, scrolled, stageScale, outlines, hash, area};
        inner.children(object.sprite->displayList());
        // A nine-slice grid moves its shapes anywhere within the clip's bounds.
        if (object.scalingGrid) {
            hash.mix(&*object.scalingGrid, sizeof *object.scalingGrid);
            if (const std::optional<Box> bounds = boundsOf(object))
                area |= transform.mapRect(toQt(*bounds));
        }
        if (object.scrollRect) // what it shows is cut to the rectangle
            area &= transform.mapRect(
                toQt(*object.scrollRect).translated(-object.scrollRect->xMin, -object.scrollRect->yMin));
    }
    void operator()(const Button&)
    {
        if (!object.button)
            return;
        hash.mix(&object.button->state, sizeof object.button->state);
        children(object.button->states[object.button->state]);
    }
    void operator()(const Bitmap&) {} // drawn only as a shape's fill
    void operator()(const Font&) {}

    void children(const DisplayList& list)
    {
        for (const auto& [depth, child] : list) {
            hash.mix(&depth, sizeof depth);
            const Damage::Seen inner = look(child, transform, stageScale, outlines);
            hash.mix(&inner.fingerprint, sizeof inner.fingerprint);
            area |= inner.bounds;
        }
    }
};

void mixFilters(Hash& hash, const std::vector<Filter>& filters)
{
    for (const Filter& f : filters) {
        for (const double value :
             {f.blurX, f.blurY, f.angle, f.distance, f.strength, double(f.passes), double(f.divisor), double(f.bias)})
            hash.mix(&value, sizeof value);
        const std::uint8_t flags[]
            = {std::uint8_t(f.kind), f.inner, f.knockout, f.compositeSource, f.onTop, f.clamp, f.preserveAlpha};
        hash.mix(flags, sizeof flags);
        hash.mix(f.colors.data(), f.colors.size() * sizeof(Rgba));
        hash.mix(f.ratios.data(), f.ratios.size());
        hash.mix(f.matrix.data(), f.matrix.size() * sizeof(float));
    }
}

Damage::Seen look(const DisplayObject& object, const QTransform& parent, double stageScale, Outlines& outlines)
{
    Hash hash;
    hash.mix(&object.instance, sizeof object.instance);
    hash.mix(&object.matrix, sizeof object.matrix);
    hash.mix(object.colorTransform.mult.data(), sizeof object.colorTransform.mult);
    hash.mix(object.colorTransform.add.data(), sizeof object.colorTransform.add);
    hash.mix(&object.ratio, sizeof object.ratio);
    const int clip = object.clipDepth.value_or(-1);
    hash.mix(&clip, sizeof clip);
    hash.mix(&object.effects.visible, sizeof object.effects.visible);
    hash.mix(&object.effects.blendMode, sizeof object.effects.blendMode);
    hash.mix(&object.effects.cacheAsBitmap, sizeof object.effects.cacheAsBitmap);
    const Rgba background = object.effects.opaqueBackground.value_or(Rgba{0, 0, 0, 0});
    hash.mix(&background, sizeof background);
    mixFilters(hash, object.effects.filters);
    const Box scroll = object.scrollRect.value_or(Box{});
    hash.mix(&scroll, sizeof scroll);
    const void* mask = object.maskedBy.lock().get();
    hash.mix(&mask, sizeof mask);
    QRectF area;
    if (object.character) {
        const QTransform transform = toQt(object.matrix) * parent;
        std::visit(Look{object, transform, stageScale, outlines, hash, area}, *object.character);
    }
    if (!object.effects.filters.empty() && !area.isEmpty()) {
        const double reach = filterReach(object.effects.filters, stageScale);
        area.adjust(-reach, -reach, reach, reach);
    }
    return {hash.value(), area};
}

} // namespace

QRect Damage::changedArea(const DisplayList& list, const QTransform& transform, Outlines& outlines)
{
    std::map<std::int32_t, Seen> seen;
    const double stageScale = stageScaleOf(transform);
    for (const auto& [depth, object] : list)
        seen.emplace(depth, look(object, transform, stageScale, outlines));
    QRectF changed;
    for (const auto& [depth, now] : seen) {
        const auto before = seen_.find(depth);
        if (before == seen_.end() || before->second.fingerprint != now.fingerprint)
            changed |= now.bounds | (before == seen_.end() ? QRectF() : before->second.bounds);
    }
    for (const auto& [depth, before] : seen_)
        if (!seen.count(depth))
            changed |= before.bounds;
    seen_ = std::move(seen);
    return changed.isEmpty() ? QRect() : pixelsAround(changed);
}

Damage::Seen appearanceOf(const DisplayObject& object, const QTransform& parent, double stageScale, Outlines& outlines)
{
    return look(object, parent, stageScale, outlines);
}

QRect pixelsAround(const QRectF& area)
{
    constexpr double kFar = 1 << 28; // no image is as large; past it, ints could overflow
    const QRectF within = area & QRectF(-kFar, -kFar, 2 * kFar, 2 * kFar);
    return within.isEmpty() ? QRect() : within.toAlignedRect().adjusted(-1, -1, 1, 1);
}

double stageScaleOf(const QTransform& stageToDevice)
{
    return std::sqrt(std::fabs(stageToDevice.determinant())) * 20; // twips
}

} // namespace quillmere::swf::qt
