#include "swf/qt/rasterizer.h"

#include <algorithm>
#include <bit>
#include <climits>
#include <cmath>
#include <optional>
#include <span>
#include <variant>

#include <QPainter>
#include <QPainterPath>

#include "swf/qt/blend.h"
#include "swf/qt/blend_modes.h"
#include "swf/qt/convert.h"
#include "swf/qt/coverage.h"
#include "swf/qt/damage.h"
#include "swf/qt/edit_text.h"
#include "swf/qt/filters.h"
#include "swf/qt/fnv_hash.h"
#include "swf/qt/outlines.h"

namespace quillmere::swf::qt {

namespace {

// The sample nearest a pixel's centre, up and left of it, that an aliased drawing takes for the
// whole pixel.
constexpr SampleCoverage::Samples kCentreSample
    = 1 << (SampleCoverage::kSamples / 2 - 1) * (SampleCoverage::kSamples + 1);

// The first of `at[from, end)` that is an index, or `end`: four at a time, as most are -1.
int firstWithSamples(const std::int32_t* at, int from, int end)
{
    while (from + 4 <= end && (at[from] & at[from + 1] & at[from + 2] & at[from + 3]) < 0)
        from += 4;
    while (from < end && at[from] < 0)
        ++from;
    return from;
}

// The pixels whose centres lie inside the device rectangle `r`.
QRect pixelsWithin(const QRectF& r)
{
    const auto first = [](double edge) { return int(std::ceil(std::clamp(edge, -1e9, 1e9) - 0.5)); };
    return QRect(QPoint(first(r.left()), first(r.top())), QPoint(first(r.right()) - 1, first(r.bottom()) - 1));
}

} // namespace

// Draws one character: one member for each kind of character, so that a new kind does not
// compile until it says how it is drawn.
struct Rasterizer::Draw {
    Rasterizer& rasterizer;
    const DisplayObject& object;
    const QTransform& transform;
    const ColorTransform& colors;

    void operator()(const Shape& shape)
    {
        // A shape right in a clip with a nine-slice grid is laid out in the clip and drawn with the
        // clip's transform; not when a layer (a filter's, a blend's) draws it elsewhere.
        const std::optional<SlicingClip>& clip = rasterizer.slicingClip_;
        if (clip && qFuzzyCompare(toQt(object.matrix) * clip->transform, transform)) {
            rasterizer.drawShape(rasterizer.outlines_.sliced(shape, object.matrix, clip->slicing).shape,
                                 clip->transform, colors);
            return;
        }
        rasterizer.drawShape(shape, transform, colors);
    }
    void operator()(const MorphShape& morph)
    {
        rasterizer.drawShape(rasterizer.outlines_.morphAt(morph, object.ratio).shape, transform, colors);
    }
    void operator()(const Text& text)
    {
        rasterizer.outlines_.forEachGlyph(
            text, transform, [this](const TextRun& run, const QPainterPath& outline, const QTransform& at) {
                rasterizer.fillPath(outline, at, Paint(colors.apply(run.color)), rasterizer.area_);
            });
    }
    void operator()(const EditText& field)
    {
        EditTextLayout text = layOut(field, rasterizer.outlines_);
        QPainterPath bounds;
        bounds.addRect(text.bounds);
        if (field.background)
            rasterizer.fillPath(bounds, transform, Paint(colors.apply(field.backgroundColor)), rasterizer.area_);
        QRect clip = rasterizer.area_;
        const bool upright = transform.type() <= QTransform::TxScale;
        if (upright)
            clip &= pixelsWithin(transform.mapRect(text.bounds));
        for (EditTextLayout::Run& run : text.runs)
            if (!clip.isEmpty())
                rasterizer.fillPath(upright ? run.glyphs : run.glyphs.intersected(bounds), transform,
                                    Paint(colors.apply(run.color)), clip);
        if (field.border) { // one pixel wide at any scale, just inside the bounds
            QPainterPathStroker frame;
            frame.setWidth(1);
            frame.setJoinStyle(Qt::MiterJoin);
            const QRectF box = transform.mapRect(text.bounds);
            QPainterPath edge;
            if (upright)
                edge.addRect(box.adjusted(0.5, 0.5, -0.5, -0.5));
            else
                edge = transform.map(bounds);
            rasterizer.fillPath(frame.createStroke(edge), QTransform(), Paint(colors.apply(field.borderColor)),
                                rasterizer.area_);
        }
    }
    void operator()(const Sprite&)
    {
        if (!object.sprite)
            return;
        std::optional<SlicingClip> slicing;
        if (object.scalingGrid && !object.scrollRect)
            if (const std::optional<Slicing> laid = slicingOf(*object.scalingGrid, boundsOf(object), object.matrix))
                slicing = SlicingClip{*laid, transform};
        const std::optional<SlicingClip> outer = std::exchange(rasterizer.slicingClip_, slicing);
        rasterizer.drawList(object.sprite->displayList(), scrolledContent(object, transform), colors);
        rasterizer.slicingClip_ = outer;
    }
    void operator()(const Button&)
    {
        if (!object.button)
            return;
        const std::optional<SlicingClip> outer = std::exchange(rasterizer.slicingClip_, std::nullopt);
        rasterizer.drawList(object.button->states[object.button->state], transform, colors);
        rasterizer.slicingClip_ = outer;
    }
    void operator()(const Bitmap&) {} // drawn only as a shape's fill
    void operator()(const Font&) {}
};

bool Rasterizer::draw(const DisplayList& list, Rgba background, const QTransform& stageToImage, QImage& image,
                      QRect area, const ColorTransform& colors)
{
    area &= image.rect();
    if (area.isEmpty())
        return true;
    if (image.format() != QImage::Format_ARGB32_Premultiplied)
        return false;
    pixels_ = reinterpret_cast<Pixel*>(image.bits());
    pixelsPerRow_ = std::size_t(image.bytesPerLine()) / sizeof(Pixel);
    stageScale_ = stageScaleOf(stageToImage);
    stageToImage_ = stageToImage;
    layerPixels_ = 0;
    filterWork_ = kMostFilterWork;
    const Pixel fill = premultiplied(background);
    // A band of rows at a time, so that what is kept for each pixel stays small on a large stage.
    for (int top = area.top(); top <= area.bottom(); top += kBandRows) {
        beginBand(QRect(area.left(), top, area.width(), std::min(kBandRows, area.bottom() + 1 - top)), fill);
        drawList(list, stageToImage, colors);
        averageSamples();
    }
    endDrawing();
    pixels_ = nullptr;
    return true;
}

void Rasterizer::endDrawing()
{
    coverages_.endDrawing();
    ++drawing_;
    std::erase_if(keptLayers_, [this](const auto& entry) {
        const bool stale = entry.second.lastUsed + 2 < drawing_;
        keptPixels_ -= stale ? std::size_t(entry.second.image.width()) * std::size_t(entry.second.image.height()) : 0;
        return stale;
    });
    if (layers_)
        layers_->endDrawing();
}

Rasterizer::KeptLayer* Rasterizer::keptLayerFor(std::uint64_t instance, QRect rect)
{
    const std::size_t pixels = std::size_t(rect.width()) * std::size_t(rect.height());
    auto found = keptLayers_.find(instance);
    if (found != keptLayers_.end()) {
        KeptLayer& kept = found->second;
        kept.lastUsed = drawing_;
        if (kept.rect != rect) { // drawn anew, in a layer of the new size
            keptPixels_ -= std::size_t(kept.image.width()) * std::size_t(kept.image.height());
            keptLayers_.erase(found);
        } else {
            return &kept;
        }
    }
    if (keptPixels_ + pixels > kMostKeptLayerPixels || keptLayers_.size() >= kMostKeptLayers)
        return nullptr; // drawn in the layer that is not kept
    keptPixels_ += pixels;
    KeptLayer& kept = keptLayers_[instance];
    kept = {rect, std::nullopt, drawing_, QImage(rect.size(), QImage::Format_ARGB32_Premultiplied)};
    if (kept.image.isNull()) {
        keptPixels_ -= pixels;
        keptLayers_.erase(instance);
        return nullptr;
    }
    return &kept;
}

void Rasterizer::beginBand(QRect area, Pixel fill)
{
    area_ = area;
    mask_ = nullptr;
    samples_.clear();
    sampleColors_.clear();
    const std::size_t pixels = std::size_t(area_.width()) * std::size_t(area_.height());
    // Room for edges through an eighth of the pixels (of a stage of ordinary size), made once:
    // growing it mid-frame would copy it all, and the first busy frame would pay for every
    // later one.
    samples_.reserve(std::min<std::size_t>(pixels / 8, 1 << 16));
    if (samplesAt_.size() < pixels)
        samplesAt_.resize(pixels, -1);
    samplesInRow_.assign(std::size_t(area_.height()), 0);
    if (shaded_.size() < std::size_t(area_.width()))
        shaded_.resize(std::size_t(area_.width()));
    for (int y = area_.top(); y <= area_.bottom(); ++y)
        fillRow(pixels_ + std::size_t(y) * pixelsPerRow_ + area_.left(), fill, area_.width());
}

void Rasterizer::drawList(const DisplayList& list, const QTransform& transform, const ColorTransform& colors)
{
    struct Mask {
        std::uint16_t untilDepth;
        QImage inside;
    };
    const QImage* const outer = mask_;
    std::vector<Mask> masks;
    std::optional<QImage> visible; // what the masks and the outer mask let through, once worked out
    for (const auto& [depth, object] : list) {
        const auto below = depth; // a structured binding cannot be captured before C++20's fix in clang 16
        if (std::erase_if(masks, [below](const Mask& mask) { return mask.untilDepth < below; }) > 0)
            visible.reset();
        if (object.isMask)
            continue; // drawn only as the mask of another
        if (object.clipDepth) {
            masks.push_back({*object.clipDepth, maskOf(coverage(object, transform, outlines_))});
            visible.reset();
            continue;
        }
        if (!masks.empty() && !visible) {
            visible = outer ? *outer : masks.front().inside;
            for (const Mask& mask : masks) {
                uchar* to = visible->bits();
                const uchar* from = mask.inside.constBits();
                for (qsizetype i = 0; i < visible->sizeInBytes(); ++i)
                    to[i] = std::min(to[i], from[i]);
            }
        }
        mask_ = masks.empty() ? outer : &*visible;
        drawObject(object, transform, colors);
    }
    mask_ = outer;
}

void Rasterizer::drawObject(const DisplayObject& object, const QTransform& parentTransform,
                            const ColorTransform& parentColors)
{
    if (!object.character || !object.effects.visible)
        return;
    const DisplayObject::Effects& effects = object.effects;
    QTransform parent = parentTransform;
    // A cached picture, which filters make of their object too, lies on whole pixels.
    if (effects.cacheAsBitmap || !effects.filters.empty()) {
        const QTransform unsnapped = toQt(object.matrix) * parent;
        parent *= QTransform::fromTranslate(std::round(unsnapped.dx()) - unsnapped.dx(),
                                            std::round(unsnapped.dy()) - unsnapped.dy());
    }
    const ColorTransform colors = parentColors.after(object.colorTransform);
    const QImage* const outer = mask_;
    const std::optional<QImage> masked = scriptMaskOf(object, parent);
    if (masked)
        mask_ = &*masked;
    const bool layered = effects.blendMode != BlendMode::Normal || !effects.filters.empty();
    if (layered && layerDepth_ < kMostNestedLayers && layerPixels_ < kMostLayerPixels)
        drawInLayer(object, parent, colors);
    else
        drawPicture(object, parent, colors);
    mask_ = outer;
}

std::optional<QImage> Rasterizer::scriptMaskOf(const DisplayObject& object, const QTransform& parent) const
{
    const std::shared_ptr<const TimelinePlayer> mask = object.maskedBy.lock();
    const DisplayObject* maskPlaced = mask ? mask->placed() : nullptr;
    if (!object.scrollRect && !maskPlaced)
        return std::nullopt;
    QImage inside(area_.size(), QImage::Format_Grayscale8);
    if (inside.isNull())
        return std::nullopt;
    inside.fill(0);
    QPainter painter(&inside);
    painter.translate(-area_.topLeft());
    if (object.scrollRect) {
        const Box& scroll = *object.scrollRect;
        painter.setClipPath((toQt(object.matrix) * parent).map([&] {
            QPainterPath shown;
            shown.addRect(QRectF(0, 0, scroll.width(), scroll.height()));
            return shown;
        }()));
    }
    if (maskPlaced) {
        DisplayObject shape = *maskPlaced;
        shape.isMask = false;
        painter.fillPath(coverage(shape, toQt(mask->parentToStage()) * stageToImage_, outlines_), Qt::white);
    } else {
        painter.fillRect(inside.rect().translated(area_.topLeft()), Qt::white);
    }
    painter.end();
    if (mask_) {
        uchar* to = inside.bits();
        const uchar* from = mask_->constBits();
        for (qsizetype i = 0; i < inside.sizeInBytes(); ++i)
            to[i] = std::min(to[i], from[i]);
    }
    return inside;
}

void Rasterizer::drawPicture(const DisplayObject& object, const QTransform& parent, const ColorTransform& colors)
{
    if (const std::optional<Rgba>& background = object.effects.opaqueBackground) {
        DisplayObject bare = object; // its bounds without what filters add
        bare.effects.filters.clear();
        QPainterPath box;
        box.addRect(QRectF(appearanceOf(bare, parent, stageScale_, outlines_).bounds.toAlignedRect() & area_));
        if (!box.isEmpty())
            fillPath(box, QTransform(), Paint(colors.apply(*background)), area_);
    }
    std::visit(Draw{*this, object, toQt(object.matrix) * parent, colors}, *object.character);
}

void Rasterizer::drawInLayer(const DisplayObject& object, const QTransform& parent, const ColorTransform& colors)
{
    const BlendMode mode = object.effects.blendMode;
    // Alpha and Erase act on the layer they are drawn in; over the stage itself they draw nothing.
    if ((mode == BlendMode::Alpha || mode == BlendMode::Erase) && layerDepth_ == 0)
        return;
    // The layer holds what the object draws that can reach the area, filters included.
    const std::vector<Filter>& filters = object.effects.filters;
    const int reach = filters.empty() ? 0 : filterReach(filters, stageScale_);
    const Damage::Seen seen = appearanceOf(object, parent, stageScale_, outlines_);
    // What lies beyond the image can still cast a shadow or a glow into it.
    const QRect layerRect = pixelsAround(seen.bounds) & area_.adjusted(-reach, -reach, reach, reach);
    if (layerRect.isEmpty())
        return;
    if (std::size_t(layerRect.width()) * std::size_t(layerRect.height()) > kMostPixelsInALayer) {
        drawPicture(object, parent, colors); // as it is, rather than a layer of unbounded size
        return;
    }
    FnvHash look;
    look.mixValue(seen.fingerprint);
    for (const double v :
         {parent.m11(), parent.m12(), parent.m21(), parent.m22(), parent.dx(), parent.dy(), stageScale_})
        look.mixValue(v);
    look.mix(colors.mult.data(), sizeof colors.mult);
    look.mix(colors.add.data(), sizeof colors.add);
    look.mixValue(aliased_);
    if (!layers_) {
        layers_ = std::make_unique<Rasterizer>(outlines_, bitmaps_);
        layers_->layerDepth_ = layerDepth_ + 1;
    }
    KeptLayer* kept = keptLayerFor(object.instance, layerRect);
    QImage& layer = kept ? kept->image : layers_->layer_;
    if (!kept || kept->drawn != look.value()) {
        layerPixels_ += std::size_t(layerRect.width()) * std::size_t(layerRect.height());
        if (layer.size() != layerRect.size())
            layer = QImage(layerRect.size(), QImage::Format_ARGB32_Premultiplied);
        if (layer.isNull())
            return;
        Rasterizer& inner = *layers_;
        inner.pixels_ = reinterpret_cast<Pixel*>(layer.bits());
        inner.pixelsPerRow_ = std::size_t(layer.bytesPerLine()) / sizeof(Pixel);
        inner.stageScale_ = stageScale_;
        inner.aliased_ = aliased_;
        inner.stageToImage_ = stageToImage_ * QTransform::fromTranslate(-layerRect.left(), -layerRect.top());
        inner.layerPixels_ = layerPixels_;
        inner.filterWork_ = filterWork_;
        inner.beginBand(layer.rect(), 0);
        inner.drawPicture(object, parent * QTransform::fromTranslate(-layerRect.left(), -layerRect.top()), colors);
        inner.averageSamples();
        inner.pixels_ = nullptr;
        layerPixels_ = inner.layerPixels_;
        filterWork_ = inner.filterWork_;
        applyFilters(filters, layer, stageScale_, filterWork_);
        if (kept)
            kept->drawn = look.value();
    }

    // What is drawn here so far is settled before the layer goes over it.
    averageSamples();
    samples_.clear();
    sampleColors_.clear();
    std::fill(samplesInRow_.begin(), samplesInRow_.end(), 0);
    const QRect shown = layerRect & area_;
    for (int y = shown.top(); y <= shown.bottom(); ++y)
        blendRow(mode,
                 reinterpret_cast<const Pixel*>(layer.constScanLine(y - layerRect.top()))
                     + (shown.left() - layerRect.left()),
                 pixels_ + std::size_t(y) * pixelsPerRow_ + shown.left(), shown.width(),
                 mask_ ? mask_->constScanLine(y - area_.top()) + (shown.left() - area_.left()) : nullptr);
}

void Rasterizer::drawShape(const Shape& shape, const QTransform& transform, const ColorTransform& colors)
{
    const Outlines::ShapePaths& paths = outlines_.paths(shape);
    for (std::size_t layer = 0; layer < shape.layers.size(); ++layer) {
        const ShapeLayer& styles = shape.layers[layer];
        fillsUsed_ = 0;
        for (std::size_t i = 0; i < styles.fills.size(); ++i) {
            const QPainterPath& path = paths.fills[layer][i];
            if (path.isEmpty() || !reaches(transform.mapRect(path.boundingRect())))
                continue;
            Paint paint(styles.fills[i], colors, transform, bitmaps_, ramps_);
            if (paint.paintsNothing())
                continue;
            addFill(path, transform, area_, std::move(paint));
        }
        composite();
        for (std::size_t i = 0; i < styles.lines.size(); ++i) {
            const QPainterPath& path = paths.lines[layer][i];
            const LineStyle& line = styles.lines[i];
            const double reach = strokeReach(line, transform);
            if (path.isEmpty()
                || !reaches(transform.mapRect(path.boundingRect()).adjusted(-reach, -reach, reach, reach)))
                continue;
            fillPath(outlines_.stroke(shape, paths, layer, i, transform),
                     QTransform::fromTranslate(transform.dx(), transform.dy()),
                     Paint(line.fill, colors, transform, bitmaps_, ramps_), area_);
        }
    }
}

void Rasterizer::fillPath(const QPainterPath& path, const QTransform& transform, Paint paint, QRect clip)
{
    if (paint.paintsNothing() || !reaches(transform.mapRect(path.boundingRect())))
        return;
    fillsUsed_ = 0;
    addFill(path, transform, clip, std::move(paint));
    composite();
}

void Rasterizer::addFill(const QPainterPath& path, const QTransform& transform, QRect clip, Paint paint)
{
    if (fillsUsed_ == fills_.size())
        fills_.push_back({SampleCoverage(clip, path.fillRule()), nullptr, paint, {}, {}});
    Fill& fill = fills_[fillsUsed_++];
    fill.paint = std::move(paint);
    if (aliased_)
        fill.paint.unsmoothed();
    fill.kept = coverages_.find(path, transform, clip);
    // Each fill asks its coverage row by row: two fills alike of one shape cannot share one.
    const auto sharing = [&fill](const Fill& other) { return &other != &fill && other.kept == fill.kept; };
    if (fill.kept && std::none_of(fills_.begin(), fills_.begin() + std::ptrdiff_t(fillsUsed_), sharing))
        return;
    fill.kept = nullptr;
    fill.own.reset(clip, path.fillRule());
    fill.own.addPath(path, transform);
    fill.path = path;
    fill.transform = transform;
}

void Rasterizer::composite()
{
    const std::span<Fill> fills(fills_.data(), fillsUsed_);
    int first = INT_MAX, last = INT_MIN;
    for (Fill& fill : fills) {
        if (!fill.kept) {
            fill.own.finish();
            coverages_.keep(fill.path, fill.transform, fill.own.clip(), fill.own);
            fill.path = {}; // let go of the outline: its shape may be dropped before the next drawing
        }
        const SampleCoverage& coverage = fill.kept ? *fill.kept : fill.own;
        if (!coverage.isEmpty()) {
            first = std::min(first, coverage.firstRow());
            last = std::max(last, coverage.lastRow());
        }
    }
    for (int y = first; y <= last; ++y) {
        Pixel* row = pixels_ + std::size_t(y) * pixelsPerRow_;
        // By the image's x, like `row`.
        const uchar* inside = mask_ ? mask_->constScanLine(y - area_.top()) - area_.left() : nullptr;
        std::int32_t* samplesAt = samplesAt_.data() + std::size_t(y - area_.top()) * std::size_t(area_.width())
                                  - area_.left(); // by the image's x too
        for (Fill& fill : fills) {
            const std::optional<Pixel> solid = fill.paint.solid();
            SampleCoverage& coverage = fill.kept ? *fill.kept : fill.own;
            coverage.rowSpans(y, [&](int x, int count, SampleCoverage::Samples samples) {
                if (aliased_) {
                    if (!(samples & kCentreSample))
                        return;
                    samples = SampleCoverage::kAllSamples;
                }
                const int end = x + count;
                if (fill.paint.isOpaque() && samples == SampleCoverage::kAllSamples && !inside) {
                    // The inside of an opaque fill: painted straight into the image.
                    if (solid)
                        fillRow(row + x, *solid, count);
                    else
                        fill.paint.shade(x, y, count, row + x);
                    for (int i = x; samplesInRow_[std::size_t(y - area_.top())] > 0; ++i) {
                        i = firstWithSamples(samplesAt, i, end);
                        if (i == end)
                            break;
                        forgetSamples(samplesAt[i]);
                    }
                    return;
                }
                const Pixel* shaded = nullptr;
                if (!solid) {
                    fill.paint.shade(x, y, count, shaded_.data());
                    shaded = shaded_.data() - x;
                }
                if (samples == SampleCoverage::kAllSamples && !inside) {
                    // The inside of a see-through fill: the commonest blend, a run of
                    // one-colour pixels at a time.
                    const bool anySamples = samplesInRow_[std::size_t(y - area_.top())] > 0;
                    for (int i = x; i < end;) {
                        const int run = anySamples ? firstWithSamples(samplesAt, i, end) : end;
                        if (shaded)
                            overRow(row + i, shaded + i, run - i);
                        else
                            overRow(row + i, *solid, run - i);
                        if (run < end)
                            paintSamples(row, run, y, samplesAt[run], shaded ? shaded[run] : *solid, samples);
                        i = run + 1;
                    }
                    return;
                }
                for (int i = x; i < end; ++i) {
                    if (inside && !inside[i])
                        continue;
                    const Pixel color = shaded ? shaded[i] : *solid;
                    if (samples == SampleCoverage::kAllSamples && samplesAt[i] < 0)
                        row[i] = over(color, row[i]);
                    else
                        paintSamples(row, i, y, samplesAt[i], color, samples);
                }
            });
        }
    }
}

void Rasterizer::forgetSamples(std::int32_t& at)
{
    Samples& pixel = samples_[std::size_t(at)];
    --samplesInRow_[std::size_t(pixel.y - area_.top())];
    pixel.x = -1;
    at = -1;
}

void Rasterizer::paintSamples(Pixel* row, int x, int y, std::int32_t& at, Pixel color, SampleCoverage::Samples samples)
{
    if (samples == SampleCoverage::kAllSamples && color >> 24 == 255) {
        forgetSamples(at); // one colour again
        row[x] = color;
        return;
    }
    if (at < 0) {
        at = std::int32_t(samples_.size());
        samples_.push_back({x, y, samples, -1, row[x], over(color, row[x])});
        ++samplesInRow_[std::size_t(y - area_.top())];
        return;
    }
    Samples& pixel = samples_[std::size_t(at)];
    if (pixel.each < 0) {
        if (samples == SampleCoverage::kAllSamples) {
            pixel.outside = over(color, pixel.outside);
            pixel.in = over(color, pixel.in);
            return;
        }
        if (samples == pixel.inside || samples == SampleCoverage::Samples(~pixel.inside)) {
            Pixel& side = samples == pixel.inside ? pixel.in : pixel.outside;
            side = over(color, side);
            return;
        }
        pixel.each = std::int32_t(sampleColors_.size());
        SampleColors& colors = sampleColors_.emplace_back();
        for (std::size_t i = 0; i < colors.size(); ++i)
            colors[i] = pixel.inside >> i & 1 ? pixel.in : pixel.outside;
    }
    SampleColors& colors = sampleColors_[std::size_t(pixel.each)];
    for (std::size_t i = 0; i < colors.size(); ++i)
        if (samples >> i & 1)
            colors[i] = over(color, colors[i]);
}

void Rasterizer::averageSamples()
{
    constexpr std::uint32_t n = SampleCoverage::kSamples * SampleCoverage::kSamples, half = n / 2 * 0x00010001u;
    for (const Samples& pixel : samples_) {
        if (pixel.x < 0)
            continue;
        samplesAt_[std::size_t(pixel.y - area_.top()) * std::size_t(area_.width())
                   + std::size_t(pixel.x - area_.left())]
            = -1;
        // Two channels at a time, each in 16 bits of a word.
        std::uint32_t ag = half, rb = half;
        const auto add = [&ag, &rb](Pixel sample, std::uint32_t times) {
            ag += ((sample >> 8) & 0x00FF00FFu) * times;
            rb += (sample & 0x00FF00FFu) * times;
        };
        if (pixel.each < 0) {
            const auto in = std::uint32_t(std::popcount(pixel.inside));
            add(pixel.outside, n - in);
            add(pixel.in, in);
        } else {
            for (const Pixel sample : sampleColors_[std::size_t(pixel.each)])
                add(sample, 1);
        }
        pixels_[std::size_t(pixel.y) * pixelsPerRow_ + std::size_t(pixel.x)]
            = ((ag >> 16) / n) << 24 | ((ag & 0xFFFF) / n) << 8 | ((rb >> 16) / n) << 16 | ((rb & 0xFFFF) / n);
    }
}

QImage Rasterizer::maskOf(const QPainterPath& area) const
{
    QImage inside(area_.size(), QImage::Format_Grayscale8);
    if (inside.isNull())
        return inside;
    inside.fill(0);
    QPainter painter(&inside);
    painter.translate(-area_.topLeft());
    painter.fillPath(area, Qt::white);
    return inside;
}

} // namespace quillmere::swf::qt
