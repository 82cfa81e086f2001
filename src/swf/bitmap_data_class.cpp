// flash.display.BitmapData: pixels a script fills and copies, shown in clips by attachBitmap.

#include <algorithm>
#include <array>
#include <atomic>
#include <cmath>
#include <random>

#include "swf/avm1/natives.h"
#include "swf/bitmap_object.h"
#include "swf/script_clip.h"
#include "swf/script_painter.h"

namespace quillmere::swf {

namespace {

using namespace avm1; // the natives' helpers, and the values they take

// The largest side a script's bitmap may have, as players of this version allow.
constexpr double kLongestSide = 2880;
// What the pixels of the scripts' bitmaps may hold at once: eight of the largest, 253 MiB. The
// heap does not count them and frees objects only between frames, so a script that made bitmaps
// and kept them would otherwise take all the memory there is. Eight leaves a movie room for a
// stage-sized picture, a copy to draw it from and a few layers over it.
constexpr std::size_t kMostLiveBitmapBytes
    = 8 * std::size_t(kLongestSide) * std::size_t(kLongestSide) * sizeof(std::uint32_t);

// The bytes of the scripts' bitmaps still held, by their objects or by the clips and fills that
// show them: one count for all of a machine's.
using LiveBytes = std::shared_ptr<std::size_t>;

// Pixels of width by height, not yet filled, counted as live until their last holder lets them
// go; null, and nothing made, past what live bitmaps may hold.
std::shared_ptr<Bitmap> newPixels(const LiveBytes& live, std::uint32_t width, std::uint32_t height)
{
    const std::size_t bytes = std::size_t(width) * height * sizeof(std::uint32_t);
    if (bytes > kMostLiveBitmapBytes - *live)
        return nullptr;
    auto made = std::make_unique<Bitmap>();
    made->width = width;
    made->height = height;
    *live += bytes;
    return std::shared_ptr<Bitmap>(made.release(), [live, bytes](Bitmap* gone) {
        delete gone;
        *live -= bytes;
    });
}

// A BitmapData of these pixels, its size and whether it has alpha there to read.
Value makeBitmapObject(Machine& m, Object* prototype, std::shared_ptr<Bitmap> pixels, bool transparent)
{
    auto* made = m.make<BitmapObject>(prototype);
    made->transparent = transparent;
    made->bitmap = std::move(pixels);
    made->changed();
    const double width = made->bitmap->width, height = made->bitmap->height;
    m.setMember(made, "width", width);
    m.setMember(made, "height", height);
    m.setMember(made, "transparent", transparent);
    m.setMember(made, "rectangle", makeRectangle(m, {0, 0, width, height}));
    return made;
}

} // namespace

void BitmapObject::changed()
{
    static std::atomic<std::uint64_t> serials{1};
    if (bitmap)
        bitmap->serial = ++serials;
}

BitmapObject* bitmapOf(const Value& value)
{
    auto* object = dynamic_cast<BitmapObject*>(objectIn(value));
    return object && object->bitmap ? object : nullptr;
}

std::uint32_t argbOf(Machine& m, const Value& value)
{
    return std::uint32_t(avm1::Conversions::toInt32(m.toNumber(value)));
}

std::uint32_t stored(std::uint32_t argb, bool transparent)
{
    const std::uint32_t a = transparent ? argb >> 24 : 255;
    const auto channel = [a](std::uint32_t c) { return (c * a + 127) / 255; };
    return a << 24 | channel((argb >> 16) & 0xFF) << 16 | channel((argb >> 8) & 0xFF) << 8 | channel(argb & 0xFF);
}

std::uint32_t unstored(std::uint32_t pixel)
{
    const std::uint32_t a = pixel >> 24;
    if (a == 0)
        return 0;
    const auto channel = [a](std::uint32_t c) { return std::min<std::uint32_t>(255, (c * 255 + a / 2) / a); };
    return a << 24 | channel((pixel >> 16) & 0xFF) << 16 | channel((pixel >> 8) & 0xFF) << 8 | channel(pixel & 0xFF);
}

Span within(Machine& m, const Value& rectangle, const Bitmap& bitmap)
{
    const auto field = [&](const char* name) {
        const double v = m.toNumber(m.member(rectangle, name));
        return std::isfinite(v) ? std::trunc(v) : 0.0;
    };
    const double x = field("x"), y = field("y"), right = x + field("width"), bottom = y + field("height");
    const auto clamp = [](double v, std::uint32_t most) { return std::uint32_t(std::clamp(v, 0.0, double(most))); };
    return {clamp(std::min(x, right), bitmap.width), clamp(std::min(y, bottom), bitmap.height),
            clamp(std::max(x, right), bitmap.width), clamp(std::max(y, bottom), bitmap.height)};
}

std::optional<Landing> landingOf(Machine& m, const BitmapObject& fromObject, const Value& sourceRect,
                                 const Value& destPoint, BitmapObject& toObject)
{
    Landing landing{fromObject.bitmap, toObject.bitmap, {}, {}, 0, 0};
    landing.span = within(m, sourceRect, *landing.from);
    const double px = m.toNumber(m.member(destPoint, "x")), py = m.toNumber(m.member(destPoint, "y"));
    if (!std::isfinite(px) || !std::isfinite(py) || !fromObject.bitmap || !toObject.bitmap)
        return std::nullopt;
    spendPixels(m, landing.span.pixels());
    if (landing.from == landing.to)
        landing.before = landing.from->argb;
    landing.dx = std::trunc(px) - landing.span.x0;
    landing.dy = std::trunc(py) - landing.span.y0;
    return landing;
}

void spendPixels(Machine& m, std::size_t pixels)
{
    if (TimelinePlayer::ScriptClip* root = clipOf(Value(m.root())))
        root->spendPixels(pixels);
}

void installBitmapDataClass(Machine& m)
{
    Object* display = m.makeObject(m.objectPrototype());
    if (Object* flash = objectIn(m.member(m.global(), "flash")))
        flash->put(m.key("display"), Value(display), avm1::Property::DontEnum);
    Object* prototype = m.makeObject(m.objectPrototype());
    const auto live = std::make_shared<std::size_t>(0);
    Function* bitmapClass
        = m.defineClass(display, "BitmapData", prototype, [prototype, live](Machine& m, Value, Arguments& a) -> Value {
              const double width = m.toNumber(argument(a, 0)), height = m.toNumber(argument(a, 1));
              if (!(width >= 1 && width <= kLongestSide && height >= 1 && height <= kLongestSide))
                  return Undefined{};
              const bool transparent = a.size() < 3 || m.conversions().toBoolean(a[2]);
              const std::uint32_t fill = a.size() < 4 ? 0xFFFFFFFF : argbOf(m, a[3]);
              const std::shared_ptr<Bitmap> pixels = newPixels(live, std::uint32_t(width), std::uint32_t(height));
              if (!pixels)
                  return Undefined{};
              spendPixels(m, std::size_t(pixels->width) * pixels->height); // filling them is painting
              pixels->argb.assign(std::size_t(pixels->width) * pixels->height, stored(fill, transparent));
              return makeBitmapObject(m, prototype, pixels, transparent);
          });
    // BitmapData.loadBitmap(linkage): a copy of a bitmap the movie exports by that name.
    m.defineMethod(bitmapClass, "loadBitmap", [prototype, live](Machine& m, Value, Arguments& a) -> Value {
        TimelinePlayer::ScriptClip* root = clipOf(Value(m.root()));
        const std::optional<std::uint16_t> id
            = root ? root->timeline().exported(m.toString(argument(a, 0))) : std::nullopt;
        ScriptPainter* painter = id ? root->painterFor(0) : nullptr;
        std::optional<Bitmap> bitmap = painter ? painter->decoded(*id) : std::nullopt;
        if (!bitmap || bitmap->width < 1 || bitmap->width > kLongestSide || bitmap->height < 1
            || bitmap->height > kLongestSide)
            return Undefined{};
        const std::shared_ptr<Bitmap> pixels = newPixels(live, bitmap->width, bitmap->height);
        if (!pixels)
            return Undefined{};
        root->painterFor(std::size_t(bitmap->width) * bitmap->height); // decoding counts as painting
        *pixels = std::move(*bitmap);
        return makeBitmapObject(m, prototype, pixels, true);
    });
    m.defineMethod(prototype, "clone", [prototype, live](Machine& m, Value self, Arguments&) -> Value {
        const BitmapObject* object = bitmapOf(self);
        if (!object)
            return Undefined{};
        const std::shared_ptr<Bitmap> copy = newPixels(live, object->bitmap->width, object->bitmap->height);
        if (!copy)
            return Undefined{};
        spendPixels(m, object->bitmap->argb.size());
        *copy = *object->bitmap;
        return makeBitmapObject(m, prototype, copy, object->transparent);
    });
    // scroll(x, y): the pixels moved by so much; where they leave, they stay as they were.
    m.defineMethod(prototype, "scroll", [](Machine& m, Value self, Arguments& a) {
        const double dx = std::trunc(m.toNumber(argument(a, 0))), dy = std::trunc(m.toNumber(argument(a, 1)));
        BitmapObject* object = bitmapOf(self); // after the conversions, which may dispose it
        if (!object || !std::isfinite(dx) || !std::isfinite(dy))
            return Value(Undefined{});
        Bitmap& bitmap = *object->bitmap;
        spendPixels(m, bitmap.argb.size());
        const std::vector<std::uint32_t> before = bitmap.argb;
        for (std::uint32_t y = 0; y < bitmap.height; ++y)
            for (std::uint32_t x = 0; x < bitmap.width; ++x) {
                const double fromX = x - dx, fromY = y - dy;
                if (fromX >= 0 && fromX < bitmap.width && fromY >= 0 && fromY < bitmap.height)
                    bitmap.argb[std::size_t(y) * bitmap.width + x]
                        = before[std::size_t(fromY) * bitmap.width + std::size_t(fromX)];
            }
        object->changed();
        return Value(Undefined{});
    });
    // noise(seed, low, high, channels, grayScale): each pixel's channels drawn from [low, high],
    // the same for the same seed; channels 1 red, 2 green, 4 blue, 8 alpha, the rest 0 (alpha 255).
    m.defineMethod(prototype, "noise", [](Machine& m, Value self, Arguments& a) {
        const auto number = [&](std::size_t i, double fallback) {
            const double v = i < a.size() ? m.toNumber(a[i]) : fallback;
            return std::isfinite(v) ? v : fallback;
        };
        const auto low = std::uint32_t(std::clamp(number(1, 0), 0.0, 255.0));
        const auto high = std::max(low, std::uint32_t(std::clamp(number(2, 255), 0.0, 255.0)));
        const auto channels = std::uint32_t(avm1::Conversions::toInt32(number(3, 7)));
        const bool gray = m.conversions().toBoolean(argument(a, 4));
        std::minstd_rand random(std::uint32_t(avm1::Conversions::toInt32(number(0, 0))) | 1u);
        std::uniform_int_distribution<std::uint32_t> level(low, high);
        BitmapObject* object = bitmapOf(self); // after the conversions, which may dispose it
        if (!object)
            return Value(Undefined{});
        spendPixels(m, object->bitmap->argb.size());
        for (std::uint32_t& pixel : object->bitmap->argb) {
            std::uint32_t argb = 0xFF000000;
            const std::uint32_t shade = gray ? level(random) : 0;
            for (int channel = 0; channel < 3; ++channel)
                if (gray || channels & (1u << channel))
                    argb |= (gray ? shade : level(random)) << (16 - 8 * channel);
            if (channels & 8)
                argb = (argb & 0xFFFFFF) | level(random) << 24;
            pixel = stored(argb, object->transparent);
        }
        object->changed();
        return Value(Undefined{});
    });
    // fillRect(rect, color) and colorTransform(rect, transform): each pixel of the rectangle's
    // anew, then the bitmap shown anew.
    const auto eachPixel = [](auto change) {
        return [change](Machine& m, Value self, Arguments& a) {
            BitmapObject* object = bitmapOf(self);
            if (!object)
                return Value(Undefined{});
            const std::shared_ptr<Bitmap> held = object->bitmap; // the conversions may dispose it
            Bitmap& bitmap = *held;
            const Span span = within(m, argument(a, 0), bitmap);
            const auto pixelAfter = change(m, *object, argument(a, 1));
            if (!object->bitmap) // disposed meanwhile: nothing to change
                return Value(Undefined{});
            spendPixels(m, span.pixels());
            for (std::uint32_t y = span.y0; y < span.y1; ++y)
                for (std::uint32_t x = span.x0; x < span.x1; ++x) {
                    std::uint32_t& pixel = bitmap.argb[std::size_t(y) * bitmap.width + x];
                    pixel = pixelAfter(pixel);
                }
            object->changed();
            return Value(Undefined{});
        };
    };
    m.defineMethod(prototype, "fillRect", eachPixel([](Machine& m, const BitmapObject& object, const Value& color) {
                       const std::uint32_t filled = stored(argbOf(m, color), object.transparent);
                       return [filled](std::uint32_t) { return filled; };
                   }));
    m.defineMethod(prototype, "colorTransform",
                   eachPixel([](Machine& m, const BitmapObject& object, const Value& transform) {
                       return [colors = colorsOf(m, transform), transparent = object.transparent](std::uint32_t pixel) {
                           const std::uint32_t argb = unstored(pixel);
                           const Rgba changed = colors.apply(Rgba{std::uint8_t(argb >> 16), std::uint8_t(argb >> 8),
                                                                  std::uint8_t(argb), std::uint8_t(argb >> 24)});
                           return stored(std::uint32_t(changed.a) << 24 | std::uint32_t(changed.r) << 16
                                             | std::uint32_t(changed.g) << 8 | changed.b,
                                         transparent);
                       };
                   }));
    // setPixel keeps the pixel's alpha; setPixel32 sets it too.
    const auto setPixel = [](bool withAlpha) {
        return [withAlpha](Machine& m, Value self, Arguments& a) {
            const double x = m.toNumber(argument(a, 0)), y = m.toNumber(argument(a, 1));
            std::uint32_t argb = argbOf(m, argument(a, 2));
            BitmapObject* object = bitmapOf(self); // after the conversions, which may dispose it
            if (!object || !(x >= 0 && x < object->bitmap->width && y >= 0 && y < object->bitmap->height))
                return Value(Undefined{});
            std::uint32_t& pixel = object->bitmap->argb[std::size_t(y) * object->bitmap->width + std::size_t(x)];
            if (!withAlpha)
                argb = (unstored(pixel) & 0xFF000000) | (argb & 0xFFFFFF);
            pixel = stored(argb, object->transparent);
            object->changed();
            return Value(Undefined{});
        };
    };
    m.defineMethod(prototype, "setPixel", setPixel(false));
    m.defineMethod(prototype, "setPixel32", setPixel(true));
    const auto getPixel = [](bool withAlpha) {
        return [withAlpha](Machine& m, Value self, Arguments& a) {
            const double x = m.toNumber(argument(a, 0)), y = m.toNumber(argument(a, 1));
            const BitmapObject* object = bitmapOf(self); // after the conversions, which may dispose it
            if (!object || !(x >= 0 && x < object->bitmap->width && y >= 0 && y < object->bitmap->height))
                return Value(0.0);
            const std::uint32_t argb
                = unstored(object->bitmap->argb[std::size_t(y) * object->bitmap->width + std::size_t(x)]);
            return Value(withAlpha ? double(argb) : double(argb & 0xFFFFFF));
        };
    };
    m.defineMethod(prototype, "getPixel", getPixel(false));
    m.defineMethod(prototype, "getPixel32", getPixel(true));
    // copyPixels(source, sourceRect, destPoint, alphaBitmap, alphaPoint, mergeAlpha): the
    // source's pixels as they are, alpha and all, or with mergeAlpha laid over the pixels there.
    // An opaque bitmap takes the colours alone.
    m.defineMethod(prototype, "copyPixels", [](Machine& m, Value self, Arguments& a) {
        BitmapObject* to = bitmapOf(self);
        BitmapObject* from = bitmapOf(argument(a, 0));
        if (!to || !from)
            return Value(Undefined{});
        const bool merge = m.conversions().toBoolean(argument(a, 5)), transparent = to->transparent;
        eachLanding(m, *from, argument(a, 1), argument(a, 2), *to,
                    [merge, transparent](std::uint32_t source, std::uint32_t& pixel) {
                        if (merge) {
                            const std::uint32_t keep = 255 - (source >> 24);
                            std::uint32_t out = 0;
                            for (int shift = 0; shift < 32; shift += 8)
                                out |= (((source >> shift) & 0xFF) + (((pixel >> shift) & 0xFF) * keep + 127) / 255)
                                       << shift;
                            pixel = out;
                        } else {
                            pixel = transparent ? source : stored(unstored(source), false);
                        }
                    });
        to->changed();
        return Value(Undefined{});
    });
    // draw(source, matrix, colorTransform): a clip's picture, or another bitmap's, painted over
    // this one; the clip as it looks in itself, whatever its own place and colours.
    m.defineMethod(prototype, "draw", [](Machine& m, Value self, Arguments& a) {
        BitmapObject* to = bitmapOf(self);
        TimelinePlayer::ScriptClip* root = clipOf(Value(m.root()));
        if (!to || !root)
            return Value(Undefined{});
        const std::shared_ptr<Bitmap> held = to->bitmap; // the conversions may dispose it
        Bitmap& bitmap = *held;
        ScriptPainter* painter = root->painterFor(std::size_t(bitmap.width) * bitmap.height);
        if (!painter)
            return Value(Undefined{});
        Matrix matrix;
        if (objectIn(argument(a, 1)))
            for (const auto& [field, name] : {std::pair{&matrix.a, "a"},
                                              {&matrix.b, "b"},
                                              {&matrix.c, "c"},
                                              {&matrix.d, "d"},
                                              {&matrix.tx, "tx"},
                                              {&matrix.ty, "ty"}}) {
                const double v = m.toNumber(m.member(argument(a, 1), name));
                *field = std::isfinite(v) ? v : 0;
            }
        const ColorTransform colors = objectIn(argument(a, 2)) ? colorsOf(m, argument(a, 2)) : ColorTransform{};
        ScriptPainter::Over over{blendModeOf(m, argument(a, 3)),           0, 0, bitmap.width, bitmap.height,
                                 m.conversions().toBoolean(argument(a, 5))};
        if (objectIn(argument(a, 4))) {
            const Span clip = within(m, argument(a, 4), bitmap);
            over = {over.blend, clip.x0, clip.y0, clip.x1, clip.y1, over.smoothing};
        }
        if (!to->bitmap)
            return Value(Undefined{});
        if (TimelinePlayer::ScriptClip* clip = clipOf(argument(a, 0)))
            painter->draw(clip->contents(), matrix, colors, over, bitmap);
        else if (BitmapObject* from = bitmapOf(argument(a, 0)))
            painter->draw(from->bitmap == held ? Bitmap(bitmap) : *from->bitmap, matrix, colors, over, bitmap);
        else
            return Value(Undefined{});
        to->changed();
        return Value(Undefined{});
    });
    // applyFilter(source, sourceRect, destPoint, filter)
    m.defineMethod(prototype, "applyFilter", [](Machine& m, Value self, Arguments& a) {
        const std::optional<Filter> filter = filterOf(m, argument(a, 3));
        BitmapObject* to = bitmapOf(self);
        BitmapObject* from = bitmapOf(argument(a, 0));
        TimelinePlayer::ScriptClip* root = clipOf(Value(m.root()));
        if (!to || !from || !root || !filter)
            return Value(Undefined{});
        const std::shared_ptr<const Bitmap> held = from->bitmap; // the conversions may dispose it
        const Span span = within(m, argument(a, 1), *held);
        const double px = m.toNumber(m.member(argument(a, 2), "x")), py = m.toNumber(m.member(argument(a, 2), "y"));
        if (!std::isfinite(px) || !std::isfinite(py) || span.x1 == span.x0 || span.y1 == span.y0 || !to->bitmap
            || !from->bitmap)
            return Value(Undefined{});
        ScriptPainter* painter = root->painterFor(span.pixels());
        if (!painter)
            return Value(Undefined{});
        const ScriptPainter::Area area{span.x0,
                                       span.y0,
                                       span.x1 - span.x0,
                                       span.y1 - span.y0,
                                       std::int64_t(std::clamp(px, -1e7, 1e7)),
                                       std::int64_t(std::clamp(py, -1e7, 1e7))};
        painter->filter(from->bitmap == to->bitmap ? Bitmap(*to->bitmap) : *from->bitmap, area, *filter, *to->bitmap,
                        to->transparent);
        to->changed();
        return Value(Undefined{});
    });
    installBitmapPixelMethods(m, prototype);
    m.defineMethod(prototype, "dispose", [](Machine&, Value self, Arguments&) {
        if (BitmapObject* object = bitmapOf(self))
            object->bitmap.reset();
        return Value(Undefined{});
    });

    // clip.beginBitmapFill(bitmapData, matrix, repeat, smoothing): the drawing API's fill with
    // the bitmap's pixels, placed by the matrix in the clip's pixels.
    m.defineMethod(m.movieClipPrototype(), "beginBitmapFill", [](Machine& m, Value self, Arguments& a) {
        TimelinePlayer::ScriptClip* clip = clipOf(self);
        const BitmapObject* bitmap = bitmapOf(argument(a, 0));
        if (!clip)
            return Value(Undefined{});
        if (!bitmap) {
            clip->drawing().endFill();
            return Value(Undefined{});
        }
        FillStyle fill;
        fill.kind = FillStyle::Kind::Bitmap;
        fill.matrix = objectIn(argument(a, 1)) ? matrixOf(m, argument(a, 1)).value_or(Matrix{}) : Matrix{};
        for (double* scaled : {&fill.matrix.a, &fill.matrix.b, &fill.matrix.c, &fill.matrix.d})
            *scaled *= kTwipsPerPixel; // the bitmap's pixels to the clip's twips
        fill.repeat = a.size() < 3 || m.conversions().toBoolean(a[2]);
        fill.smooth = m.conversions().toBoolean(argument(a, 3));
        fill.scriptBitmap = bitmap->bitmap; // after the matrix, whose getters may dispose it
        if (fill.scriptBitmap)
            clip->drawing().beginFill(fill);
        else
            clip->drawing().endFill();
        return Value(Undefined{});
    });
    // clip.attachBitmap(bitmapData, depth): shown at the clip's origin, a pixel to a pixel.
    m.defineMethod(m.movieClipPrototype(), "attachBitmap", [](Machine& m, Value self, Arguments& a) {
        TimelinePlayer::ScriptClip* clip = clipOf(self);
        const double depth = m.toNumber(argument(a, 1));
        const BitmapObject* bitmap = bitmapOf(argument(a, 0)); // after the depth, whose valueOf may dispose it
        if (clip && bitmap)
            clip->attachBitmap(bitmap->bitmap, depth, m.conversions().toBoolean(argument(a, 3)));
        return Value(Undefined{});
    });
}

} // namespace quillmere::swf
