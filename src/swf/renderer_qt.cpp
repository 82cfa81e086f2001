#include "swf/renderer_qt.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include <QBrush>
#include <QLinearGradient>
#include <QPainter>
#include <QRadialGradient>

namespace quillmere::swf {

namespace {

QTransform toQt(const Matrix& m)
{
    return QTransform(m.a, m.b, m.c, m.d, m.tx, m.ty);
}

QColor toQt(Rgba color)
{
    return QColor(color.r, color.g, color.b, color.a);
}

QPainterPath toQt(const Path& path, bool closed)
{
    QPainterPath out;
    for (const Contour& contour : path) {
        out.moveTo(contour.from.x, contour.from.y);
        for (const Segment& s : contour.segments) {
            if (s.curved)
                out.quadTo(s.control.x, s.control.y, s.to.x, s.to.y);
            else
                out.lineTo(s.to.x, s.to.y);
        }
        if (closed)
            out.closeSubpath();
    }
    return out;
}

double toLinear(int channel)
{
    const double c = channel / 255.0;
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

int fromLinear(double linear)
{
    const double c = linear <= 0.0031308 ? linear * 12.92 : 1.055 * std::pow(linear, 1 / 2.4) - 0.055;
    return static_cast<int>(std::lround(255 * std::clamp(c, 0.0, 1.0)));
}

// Linear-RGB gradients blend in linear light. Qt blends in sRGB, so stops close together, each
// at the colour linear light gives there, make it follow that curve.
QColor mixInLinearLight(const QColor& from, const QColor& to, double t)
{
    const auto mix = [t](int a, int b) { return fromLinear((1 - t) * toLinear(a) + t * toLinear(b)); };
    return QColor(mix(from.red(), to.red()), mix(from.green(), to.green()), mix(from.blue(), to.blue()),
                  static_cast<int>(std::lround((1 - t) * from.alpha() + t * to.alpha())));
}

QGradientStops gradientStops(const Gradient& gradient, const ColorTransform& colors)
{
    QGradientStops stops;
    const auto add = [&stops](double position, const QColor& color) {
        // Two stops at one ratio make a sharp edge; Qt keeps only one stop at a position.
        if (!stops.isEmpty() && position <= stops.last().first)
            position = std::min(1.0, stops.last().first + 1e-6);
        stops.append({position, color});
    };
    for (std::size_t i = 0; i < gradient.stops.size(); ++i) {
        const auto& stop = gradient.stops[i];
        const QColor color = toQt(colors.apply(stop.color));
        if (i > 0 && gradient.interpolation == Gradient::Interpolation::LinearRgb) {
            const auto& previous = gradient.stops[i - 1];
            const QColor from = toQt(colors.apply(previous.color));
            constexpr int kSteps = 32;
            for (int step = 1; step < kSteps; ++step) {
                const double t = double(step) / kSteps;
                add((previous.ratio + t * (stop.ratio - previous.ratio)) / 255.0, mixInLinearLight(from, color, t));
            }
        }
        add(stop.ratio / 255.0, color);
    }
    return stops;
}

QGradient::Spread spreadOf(const Gradient& gradient)
{
    switch (gradient.spread) {
    case Gradient::Spread::Reflect: return QGradient::ReflectSpread;
    case Gradient::Spread::Repeat: return QGradient::RepeatSpread;
    default: return QGradient::PadSpread;
    }
}

Qt::PenCapStyle capOf(LineStyle::Cap cap)
{
    switch (cap) {
    case LineStyle::Cap::None: return Qt::FlatCap;
    case LineStyle::Cap::Square: return Qt::SquareCap;
    default: return Qt::RoundCap;
    }
}

Qt::PenJoinStyle joinOf(LineStyle::Join join)
{
    switch (join) {
    case LineStyle::Join::Bevel: return Qt::BevelJoin;
    case LineStyle::Join::Miter: return Qt::MiterJoin;
    default: return Qt::RoundJoin;
    }
}

// How much a transform scales lengths, on average over directions.
double lengthScale(const QTransform& t)
{
    return std::sqrt(std::abs(t.determinant()));
}

// How far a stroke reaches out from its path, in the units `transform` maps to, when those are
// pixels: half its width, more at miter joins and square caps, and never less than a pixel.
double strokeReach(const LineStyle& line, const QTransform& transform)
{
    const bool scales = line.scalesHorizontally && line.scalesVertically;
    const double width = std::max(1.0, scales ? line.width * lengthScale(transform) : line.width / kTwipsPerPixel);
    const double corner
        = line.join == LineStyle::Join::Miter ? std::max(line.miterLimit, std::numbers::sqrt2) : std::numbers::sqrt2;
    return width / 2 * corner;
}

// The pixels of `image` from `at` on, `rows` rows at the most: each the mean of a `factor` x
// `factor` block of premultiplied samples of `band`.
void averageInto(const QImage& band, int factor, QImage& image, QPoint at, int rows)
{
    const int width = band.width() / factor;
    rows = std::min({band.height() / factor, rows, image.height() - at.y()});
    std::vector<std::uint32_t> sums(std::size_t(width) * 4);
    const std::uint32_t n = std::uint32_t(factor * factor), half = n / 2;
    for (int y = 0; y < rows; ++y) {
        std::fill(sums.begin(), sums.end(), 0);
        for (int row = 0; row < factor; ++row) {
            const auto* in = reinterpret_cast<const QRgb*>(band.constScanLine(y * factor + row));
            std::uint32_t* sum = sums.data();
            for (int x = 0; x < width; ++x, sum += 4)
                for (int k = 0; k < factor; ++k, ++in) {
                    const QRgb p = *in;
                    sum[0] += p >> 24;
                    sum[1] += (p >> 16) & 0xFF;
                    sum[2] += (p >> 8) & 0xFF;
                    sum[3] += p & 0xFF;
                }
        }
        auto* out = reinterpret_cast<QRgb*>(image.scanLine(at.y() + y)) + at.x();
        const std::uint32_t* sum = sums.data();
        for (int x = 0; x < width; ++x, sum += 4)
            out[x] = ((sum[0] + half) / n) << 24 | ((sum[1] + half) / n) << 16 | ((sum[2] + half) / n) << 8
                     | ((sum[3] + half) / n);
    }
}

bool onlyFadesAlpha(const ColorTransform& c)
{
    return c.mult[0] == 1 && c.mult[1] == 1 && c.mult[2] == 1 && c.add == std::array<double, 4>{0, 0, 0, 0};
}

QImage transformed(QImage image, const ColorTransform& colors)
{
    image = image.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < image.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const Rgba c = colors.apply({std::uint8_t(qRed(row[x])), std::uint8_t(qGreen(row[x])),
                                         std::uint8_t(qBlue(row[x])), std::uint8_t(qAlpha(row[x]))});
            row[x] = qRgba(c.r, c.g, c.b, c.a);
        }
    }
    return image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

QImage decoded(const Bitmap& bitmap)
{
    if (!bitmap.argb.empty()) {
        QImage image(int(bitmap.width), int(bitmap.height), QImage::Format_ARGB32_Premultiplied);
        if (image.isNull())
            return {};
        for (int y = 0; y < image.height(); ++y)
            std::copy_n(bitmap.argb.data() + std::size_t(y) * bitmap.width, bitmap.width,
                        reinterpret_cast<QRgb*>(image.scanLine(y)));
        return image;
    }
    QImage image = QImage::fromData(reinterpret_cast<const uchar*>(bitmap.encoded.data()),
                                    static_cast<int>(bitmap.encoded.size()));
    // A picture that does not decode, or decodes to another size than it declared, is drawn as
    // nothing rather than as whatever the decoder made of it.
    if (image.isNull() || image.width() != int(bitmap.width) || image.height() != int(bitmap.height))
        return {};
    image = image.convertToFormat(QImage::Format_ARGB32);
    if (!bitmap.alpha.empty()) {
        for (int y = 0; y < image.height(); ++y) {
            auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
            for (int x = 0; x < image.width(); ++x)
                row[x] = qRgba(qRed(row[x]), qGreen(row[x]), qBlue(row[x]),
                               std::uint8_t(bitmap.alpha[std::size_t(y) * bitmap.width + std::size_t(x)]));
        }
    }
    return image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

} // namespace

Renderer::Renderer(std::shared_ptr<const Movie> movie) : movie_(std::move(movie))
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

std::uint64_t Renderer::buttonAt(const Player& player, QSizeF size, QPointF point)
{
    return buttonIn(player.root().displayList(), showAllTransform(size), point);
}

std::uint64_t Renderer::buttonIn(const DisplayList& list, const QTransform& parent, QPointF point)
{
    for (auto entry = list.rbegin(); entry != list.rend(); ++entry) { // topmost first
        const DisplayObject& object = entry->second;
        const QTransform transform = toQt(object.matrix) * parent;
        if (object.button) {
            for (const auto& [depth, part] : object.button->states[Button::HitTest])
                if (coverage(part, transform).contains(point))
                    return object.instance;
        } else if (object.sprite) {
            if (const std::uint64_t found = buttonIn(object.sprite->displayList(), transform, point))
                return found;
        }
    }
    return 0;
}

QImage Renderer::render(const Player& player, QSize size, const QTransform& stageToImage)
{
    constexpr int kMaxSide = 8192; // pixels
    if (size.isEmpty() || size.width() > kMaxSide || size.height() > kMaxSide)
        return {};
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    if (!image.isNull() && !draw(player, stageToImage, image, image.rect()))
        return {};
    return image;
}

bool Renderer::draw(const Player& player, const QTransform& stageToImage, QImage& image, QRect area)
{
    constexpr int kSamples = 4;   // a side: 16 samples a pixel
    constexpr int kBandRows = 64; // drawn a band at a time, so that a large stage costs no more memory
    area &= image.rect();
    if (area.isEmpty())
        return true;
    QImage band(area.width() * kSamples, std::min(area.height(), kBandRows) * kSamples,
                QImage::Format_ARGB32_Premultiplied);
    if (band.isNull())
        return false;
    pixel_ = kSamples;
    for (int top = area.top(); top <= area.bottom(); top += kBandRows) {
        band.fill(toQt(movie_->background));
        {
            QPainter painter(&band);
            drawList(painter, player.root().displayList(),
                     stageToImage * QTransform::fromTranslate(-area.left(), -top)
                         * QTransform::fromScale(kSamples, kSamples),
                     ColorTransform{});
        }
        averageInto(band, kSamples, image, QPoint(area.left(), top), area.bottom() - top + 1);
    }
    return true;
}

QRect Renderer::changedArea(const Player& player, QSizeF size)
{
    const QTransform transform = showAllTransform(size);
    std::map<std::uint16_t, Seen> seen;
    for (const auto& [depth, object] : player.root().displayList())
        seen.emplace(depth, Seen{fingerprint(object), bounds(object, transform)});
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
    // A pixel more on each side: edges are drawn with coverage beyond the exact bounds.
    return changed.toAlignedRect().adjusted(-1, -1, 1, 1);
}

void Renderer::drawList(QPainter& painter, const DisplayList& list, const QTransform& transform,
                        const ColorTransform& colors)
{
    struct Mask {
        std::uint16_t untilDepth;
        QPainterPath area; // device pixels
    };
    std::vector<Mask> masks;
    for (const auto& [depth, object] : list) {
        std::erase_if(masks, [depth](const Mask& mask) { return mask.untilDepth < depth; });
        if (object.clipDepth) {
            masks.push_back({*object.clipDepth, coverage(object, transform)});
            continue;
        }
        if (masks.empty()) {
            drawObject(painter, object, transform, colors);
            continue;
        }
        QPainterPath visible = masks.front().area;
        for (std::size_t i = 1; i < masks.size(); ++i)
            visible = visible.intersected(masks[i].area);
        painter.save();
        painter.resetTransform();
        painter.setClipPath(visible, Qt::IntersectClip);
        drawObject(painter, object, transform, colors);
        painter.restore();
    }
}

void Renderer::drawObject(QPainter& painter, const DisplayObject& object, const QTransform& parentTransform,
                          const ColorTransform& parentColors)
{
    if (!object.character)
        return;
    const QTransform transform = toQt(object.matrix) * parentTransform;
    const ColorTransform colors = parentColors.after(object.colorTransform);
    if (const auto* shape = std::get_if<Shape>(object.character)) {
        drawShape(painter, *shape, paths(*shape), transform, colors);
    } else if (const auto* morph = std::get_if<MorphShape>(object.character)) {
        const MorphFrame& frame = morphAt(*morph, object.ratio);
        drawShape(painter, frame.shape, frame.paths, transform, colors);
    } else if (const auto* text = std::get_if<Text>(object.character)) {
        drawText(painter, *text, transform, colors);
    } else if (const auto* field = std::get_if<EditText>(object.character)) {
        drawEditText(painter, *field, transform, colors);
    } else if (object.sprite) {
        drawList(painter, object.sprite->displayList(), transform, colors);
    } else if (object.button) {
        drawList(painter, object.button->states[object.button->state], transform, colors);
    }
}

void Renderer::drawShape(QPainter& painter, const Shape& shape, const ShapePaths& cached, const QTransform& transform,
                         const ColorTransform& colors)
{
    for (std::size_t layer = 0; layer < shape.layers.size(); ++layer) {
        const ShapeLayer& styles = shape.layers[layer];
        for (std::size_t i = 0; i < styles.fills.size(); ++i)
            if (!cached.fills[layer][i].isEmpty())
                fill(painter, cached.fills[layer][i], styles.fills[i], transform, colors);
        for (std::size_t i = 0; i < styles.lines.size(); ++i) {
            const QPainterPath& path = cached.lines[layer][i];
            if (path.isEmpty())
                continue;
            const LineStyle& line = styles.lines[i];
            const bool scales = line.scalesHorizontally && line.scalesVertically;
            const double pixels = scales ? line.width * lengthScale(transform) / pixel_ : line.width / kTwipsPerPixel;
            // Strokes never get thinner than a pixel; a kept width is in pixels whatever the scale.
            QPen pen(brush(line.fill, colors), line.width);
            if (pixels < 1 || !scales) {
                pen.setCosmetic(true);
                pen.setWidthF(std::max(1.0, pixels) * pixel_);
            }
            pen.setCapStyle(capOf(line.startCap));
            pen.setJoinStyle(joinOf(line.join));
            pen.setMiterLimit(line.miterLimit);
            painter.setTransform(transform);
            painter.strokePath(path, pen);
        }
    }
}

void Renderer::fill(QPainter& painter, const QPainterPath& path, const FillStyle& style, const QTransform& transform,
                    const ColorTransform& colors)
{
    painter.setTransform(transform);
    if (style.kind != FillStyle::Kind::Bitmap) {
        painter.fillPath(path, brush(style, colors));
        return;
    }
    const bool fades = !colors.isIdentity() && onlyFadesAlpha(colors);
    const QImage& image = bitmap(style.bitmapId, fades ? ColorTransform{} : colors);
    if (image.isNull())
        return;
    painter.save();
    painter.setRenderHint(QPainter::SmoothPixmapTransform, style.smooth);
    if (fades)
        painter.setOpacity(painter.opacity() * std::clamp(colors.mult[3], 0.0, 1.0));
    if (style.repeat) {
        QBrush texture(image);
        texture.setTransform(toQt(style.matrix));
        painter.fillPath(path, texture);
    } else {
        painter.setClipPath(path, Qt::IntersectClip);
        painter.setTransform(toQt(style.matrix) * transform);
        painter.drawImage(QPointF(0, 0), image);
    }
    painter.restore();
}

QBrush Renderer::brush(const FillStyle& style, const ColorTransform& colors)
{
    const Gradient& gradient = style.gradient;
    switch (style.kind) {
    case FillStyle::Kind::Solid: return QBrush(toQt(colors.apply(style.color)));
    case FillStyle::Kind::Bitmap: {
        const QImage& image = bitmap(style.bitmapId, colors);
        if (image.isNull())
            return Qt::NoBrush;
        QBrush texture(image);
        texture.setTransform(toQt(style.matrix));
        return texture;
    }
    default: break;
    }
    if (gradient.stops.empty())
        return Qt::NoBrush;
    QGradient qtGradient;
    if (style.kind == FillStyle::Kind::LinearGradient) {
        qtGradient = QLinearGradient(-kGradientSquareHalf, 0, kGradientSquareHalf, 0);
    } else {
        const double focal = style.kind == FillStyle::Kind::FocalGradient ? gradient.focalPoint : 0;
        qtGradient = QRadialGradient(QPointF(0, 0), kGradientSquareHalf,
                                     QPointF(std::clamp(focal, -0.998, 0.998) * kGradientSquareHalf, 0));
    }
    qtGradient.setStops(gradientStops(gradient, colors));
    qtGradient.setSpread(spreadOf(gradient));
    QBrush result(qtGradient);
    result.setTransform(toQt(style.matrix));
    return result;
}

template <typename Visit>
void Renderer::forEachGlyph(const Text& text, const QTransform& transform, Visit visit)
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

void Renderer::drawText(QPainter& painter, const Text& text, const QTransform& transform, const ColorTransform& colors)
{
    forEachGlyph(text, transform, [&](const TextRun& run, const QPainterPath& outline, const QTransform& at) {
        painter.setTransform(at);
        painter.fillPath(outline, toQt(colors.apply(run.color)));
    });
}

QPainterPath Renderer::coverage(const DisplayObject& object, const QTransform& parentTransform)
{
    QPainterPath area;
    if (!object.character)
        return area;
    const QTransform transform = toQt(object.matrix) * parentTransform;
    if (const auto* shape = std::get_if<Shape>(object.character)) {
        area = transform.map(paths(*shape).outline);
    } else if (const auto* morph = std::get_if<MorphShape>(object.character)) {
        area = transform.map(morphAt(*morph, object.ratio).paths.outline);
    } else if (const auto* field = std::get_if<EditText>(object.character)) {
        const Rect& b = field->bounds;
        area.addPolygon(transform.map(QPolygonF(QRectF(b.xMin, b.yMin, b.width(), b.height()))));
    } else if (object.button) {
        for (const auto& [depth, part] : object.button->states[object.button->state])
            area.addPath(coverage(part, transform));
    } else if (const auto* text = std::get_if<Text>(object.character)) {
        forEachGlyph(*text, transform, [&](const TextRun&, const QPainterPath& outline, const QTransform& at) {
            area.addPath(at.map(outline));
        });
    } else if (object.sprite) {
        for (const auto& [depth, child] : object.sprite->displayList())
            if (!child.clipDepth)
                area.addPath(coverage(child, transform));
    }
    area.setFillRule(Qt::WindingFill);
    return area;
}

std::uint64_t Renderer::fingerprint(const DisplayObject& object) const
{
    // FNV-1a over everything that decides how the object looks.
    std::uint64_t hash = 14695981039346656037ull;
    const auto mix = [&hash](const void* data, std::size_t size) {
        for (std::size_t i = 0; i < size; ++i)
            hash = (hash ^ static_cast<const unsigned char*>(data)[i]) * 1099511628211ull;
    };
    mix(&object.instance, sizeof object.instance);
    mix(&object.matrix, sizeof object.matrix);
    mix(object.colorTransform.mult.data(), sizeof object.colorTransform.mult);
    mix(object.colorTransform.add.data(), sizeof object.colorTransform.add);
    mix(&object.ratio, sizeof object.ratio);
    const int clip = object.clipDepth.value_or(-1);
    mix(&clip, sizeof clip);
    const DisplayList* children = object.sprite ? &object.sprite->displayList() : nullptr;
    if (object.button) {
        mix(&object.button->state, sizeof object.button->state);
        children = &object.button->states[object.button->state];
    }
    if (children)
        for (const auto& [depth, child] : *children) {
            mix(&depth, sizeof depth);
            const std::uint64_t inner = fingerprint(child);
            mix(&inner, sizeof inner);
        }
    return hash;
}

QRectF Renderer::bounds(const DisplayObject& object, const QTransform& parent)
{
    if (!object.character)
        return {};
    const QTransform transform = toQt(object.matrix) * parent;
    const auto mapped
        = [&transform](const Rect& r) { return transform.mapRect(QRectF(r.xMin, r.yMin, r.width(), r.height())); };
    if (const auto* shape = std::get_if<Shape>(object.character))
        return mapped(shape->bounds) | drawnArea(*shape, paths(*shape), transform);
    if (const auto* morph = std::get_if<MorphShape>(object.character)) {
        const MorphFrame& frame = morphAt(*morph, object.ratio);
        return drawnArea(frame.shape, frame.paths, transform);
    }
    if (const auto* field = std::get_if<EditText>(object.character))
        return mapped(field->bounds); // drawn clipped to them
    QRectF area;
    if (const auto* text = std::get_if<Text>(object.character)) {
        area = (toQt(text->matrix) * transform)
                   .mapRect(QRectF(text->bounds.xMin, text->bounds.yMin, text->bounds.width(), text->bounds.height()));
        forEachGlyph(*text, transform, [&area](const TextRun&, const QPainterPath& outline, const QTransform& at) {
            area |= at.mapRect(outline.boundingRect());
        });
        return area;
    }
    const DisplayList* children = object.sprite   ? &object.sprite->displayList()
                                  : object.button ? &object.button->states[object.button->state]
                                                  : nullptr;
    if (children)
        for (const auto& [depth, child] : *children)
            area |= bounds(child, transform);
    return area;
}

QRectF Renderer::drawnArea(const Shape& shape, const ShapePaths& paths, const QTransform& transform)
{
    QRectF area = transform.mapRect(paths.outline.boundingRect());
    for (std::size_t layer = 0; layer < shape.layers.size(); ++layer)
        for (std::size_t i = 0; i < shape.layers[layer].lines.size(); ++i) {
            const QPainterPath& path = paths.lines[layer][i];
            const double reach = strokeReach(shape.layers[layer].lines[i], transform);
            if (!path.isEmpty())
                area |= transform.mapRect(path.boundingRect()).adjusted(-reach, -reach, reach, reach);
        }
    return area;
}

const Renderer::ShapePaths& Renderer::paths(const Shape& shape)
{
    auto found = shapes_.find(&shape);
    if (found == shapes_.end())
        found = shapes_.emplace(&shape, pathsOf(shape)).first;
    return found->second;
}

const Renderer::MorphFrame& Renderer::morphAt(const MorphShape& morph, std::uint16_t ratio)
{
    auto found = morphs_.find({&morph, ratio});
    if (found != morphs_.end())
        return found->second;
    if (morphs_.size() >= 256)
        morphs_.clear(); // a morph played through makes a shape for every ratio
    MorphFrame frame{morphShapeAt(morph, ratio / 65535.0), {}};
    frame.paths = pathsOf(frame.shape);
    return morphs_.emplace(std::pair{&morph, ratio}, std::move(frame)).first->second;
}

Renderer::ShapePaths Renderer::pathsOf(const Shape& shape)
{
    ShapePaths built;
    const Qt::FillRule rule = shape.nonZeroWinding ? Qt::WindingFill : Qt::OddEvenFill;
    for (const ShapeLayer& layer : shape.layers) {
        auto& fills = built.fills.emplace_back();
        for (const Path& path : layer.fillPaths) {
            fills.push_back(toQt(path, true));
            fills.back().setFillRule(rule);
            built.outline.addPath(fills.back());
        }
        auto& lines = built.lines.emplace_back();
        for (const Path& path : layer.linePaths)
            lines.push_back(toQt(path, false));
    }
    return built;
}

const std::vector<QPainterPath>& Renderer::glyphs(const Font& font)
{
    auto found = fonts_.find(&font);
    if (found != fonts_.end())
        return found->second;
    std::vector<QPainterPath> outlines;
    for (const Glyph& glyph : font.glyphs)
        outlines.push_back(toQt(glyph.outline, true));
    return fonts_.emplace(&font, std::move(outlines)).first->second;
}

const QImage& Renderer::bitmap(std::uint16_t id, const ColorTransform& colors)
{
    auto found = bitmaps_.find(id);
    if (found == bitmaps_.end()) {
        const Bitmap* source = movie_->find<Bitmap>(id);
        found = bitmaps_.emplace(id, source ? decoded(*source) : QImage()).first;
    }
    if (colors.isIdentity() || found->second.isNull())
        return found->second;
    std::vector<double> key(colors.mult.begin(), colors.mult.end());
    key.insert(key.end(), colors.add.begin(), colors.add.end());
    auto cached = transformedBitmaps_.find({id, key});
    if (cached == transformedBitmaps_.end() && transformedBitmaps_.size() >= 32)
        transformedBitmaps_.clear(); // a colour animation would make a new one every frame
    if (cached == transformedBitmaps_.end())
        cached = transformedBitmaps_.emplace(std::pair{id, key}, transformed(found->second, colors)).first;
    return cached->second;
}

} // namespace quillmere::swf
