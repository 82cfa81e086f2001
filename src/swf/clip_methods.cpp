#include <cmath>
#include <optional>
#include <string>
#include <vector>

#include "swf/avm1/natives.h"
#include "swf/placed_properties.h"
#include "swf/script_clip.h"
#include "swf/script_painter.h"

namespace quillmere::swf {

namespace {

using namespace avm1; // the natives' helpers, and the values they take

Value orUndefined(Object* object)
{
    return object ? Value(object) : Value(Undefined{});
}

// A method that does something to the clip it is called on, and nothing on anything else.
template <typename Body>
avm1::Function::Native onClip(Body body)
{
    return [body](Machine& m, Value self, Arguments& a) -> Value {
        TimelinePlayer::ScriptClip* clip = clipOf(self);
        if (!clip)
            return Undefined{};
        if constexpr (std::is_void_v<decltype(body(m, *clip, a))>) {
            body(m, *clip, a);
            return Undefined{};
        } else {
            return body(m, *clip, a);
        }
    };
}

// A goto's frame: a number counted from 1, or a label.
void goTo(Machine& m, TimelinePlayer::ScriptClip& clip, const Value& frame, bool play)
{
    if (const auto* label = std::get_if<std::string>(&frame); label && !std::isfinite(m.toNumber(frame))) {
        clip.gotoLabel(*label, play);
        return;
    }
    const double number = m.toNumber(frame);
    if (number >= 1 && number < 4294967296.0)
        clip.gotoFrame(std::uint32_t(number - 1), play);
}

// The drawing API's colours: 0xRRGGBB, and an alpha from 0 to 100.
Rgba colorOf(Machine& m, const Value& rgb, const Value& alpha)
{
    const auto value = std::uint32_t(avm1::Conversions::toInt32(m.toNumber(rgb)));
    const double percent = std::holds_alternative<Undefined>(alpha) ? 100 : m.toNumber(alpha);
    const double a = std::isnan(percent) ? 0 : std::clamp(percent, 0.0, 100.0);
    return {std::uint8_t(value >> 16), std::uint8_t(value >> 8), std::uint8_t(value),
            std::uint8_t(std::lround(a * 2.55))};
}

Point pointOf(Machine& m, const Value& x, const Value& y)
{
    const auto twips = [&m](const Value& v) {
        const double pixels = m.toNumber(v);
        return std::int32_t(std::isfinite(pixels) ? std::lround(std::clamp(pixels, -1e7, 1e7) * kTwipsPerPixel) : 0);
    };
    return {twips(x), twips(y)};
}

// A gradient's matrix from the pixels of the box it fills, from a matrix's six numbers, or from
// the nine of the first drawing scripts (a to i, rows of a 3 by 3 matrix whose unit square is the
// gradient's): each takes the gradient square (±819.2 pixels) into the clip.
Matrix gradientMatrix(Machine& m, const Value& given)
{
    constexpr double kGradientSquare = 1638.4; // pixels
    const auto number = [&](const char* name) { return m.toNumber(m.member(given, name)); };
    const auto has = [&](const char* name) { return !std::holds_alternative<Undefined>(m.member(given, name)); };
    Matrix matrix;
    if (m.toString(m.member(given, "matrixType")) == "box") {
        const double w = number("w"), h = number("h"), r = number("r");
        const double sx = w / kGradientSquare, sy = h / kGradientSquare;
        matrix = {sx * std::cos(r),
                  sy * std::sin(r),
                  -sx * std::sin(r),
                  sy * std::cos(r),
                  (number("x") + w / 2) * kTwipsPerPixel,
                  (number("y") + h / 2) * kTwipsPerPixel};
    } else if (!has("tx") && has("g")) {
        matrix = {number("a") / kGradientSquare, number("b") / kGradientSquare, number("d") / kGradientSquare,
                  number("e") / kGradientSquare, number("g") * kTwipsPerPixel,  number("h") * kTwipsPerPixel};
    } else {
        matrix = {number("a"),
                  number("b"),
                  number("c"),
                  number("d"),
                  number("tx") * kTwipsPerPixel,
                  number("ty") * kTwipsPerPixel};
    }
    for (double* v : {&matrix.a, &matrix.b, &matrix.c, &matrix.d, &matrix.tx, &matrix.ty})
        if (!std::isfinite(*v))
            *v = 0;
    return matrix;
}

// beginGradientFill's and lineGradientStyle's arguments from `first` on: type, colours,
// alphas, ratios, matrix, spread, interpolation, focal point.
std::optional<FillStyle> gradientOf(Machine& m, const Arguments& a, std::size_t first)
{
    const std::string type = m.toString(argument(a, first));
    const Value colors = argument(a, first + 1), alphas = argument(a, first + 2), ratios = argument(a, first + 3);
    if ((type != "linear" && type != "radial") || !objectIn(colors))
        return std::nullopt;
    FillStyle fill;
    const double focal = m.toNumber(argument(a, first + 7));
    fill.kind = type == "linear"                     ? FillStyle::Kind::LinearGradient
                : std::isfinite(focal) && focal != 0 ? FillStyle::Kind::FocalGradient
                                                     : FillStyle::Kind::RadialGradient;
    fill.gradient.focalPoint = std::isfinite(focal) ? std::clamp(focal, -1.0, 1.0) : 0;
    const double count = m.toNumber(m.member(colors, "length"));
    for (std::size_t i = 0; i < 15 && double(i) < count; ++i) {
        const std::string index = std::to_string(i);
        const double ratio = m.toNumber(m.member(ratios, index));
        Gradient::Stop stop;
        stop.color = colorOf(m, m.member(colors, index), m.member(alphas, index));
        stop.ratio = std::uint8_t(std::isfinite(ratio) ? std::clamp(ratio, 0.0, 255.0) : 0);
        fill.gradient.stops.push_back(stop);
    }
    if (fill.gradient.stops.empty())
        return std::nullopt;
    fill.matrix = gradientMatrix(m, argument(a, first + 4));
    const std::string spread = m.toString(argument(a, first + 5));
    fill.gradient.spread = spread == "reflect"  ? Gradient::Spread::Reflect
                           : spread == "repeat" ? Gradient::Spread::Repeat
                                                : Gradient::Spread::Pad;
    if (m.toString(argument(a, first + 6)) == "linearRGB")
        fill.gradient.interpolation = Gradient::Interpolation::LinearRgb;
    return fill;
}

void installDrawing(Machine& m, Object* clip)
{
    m.defineMethod(clip, "beginFill", onClip([](Machine& m, auto& c, Arguments& a) {
                       if (std::holds_alternative<Undefined>(argument(a, 0))) {
                           c.drawing().endFill();
                           return;
                       }
                       FillStyle fill;
                       fill.color = colorOf(m, argument(a, 0), argument(a, 1));
                       c.drawing().beginFill(fill);
                   }));
    m.defineMethod(clip, "beginGradientFill", onClip([](Machine& m, auto& c, Arguments& a) {
                       if (const std::optional<FillStyle> fill = gradientOf(m, a, 0))
                           c.drawing().beginFill(*fill);
                       else
                           c.drawing().endFill();
                   }));
    m.defineMethod(clip, "endFill", onClip([](Machine&, auto& c, Arguments&) { c.drawing().endFill(); }));
    m.defineMethod(clip, "lineGradientStyle", onClip([](Machine& m, auto& c, Arguments& a) {
                       if (const std::optional<FillStyle> fill = gradientOf(m, a, 0))
                           c.drawing().lineFill(*fill);
                   }));
    m.defineMethod(clip, "lineStyle", onClip([](Machine& m, auto& c, Arguments& a) {
                       // No thickness is no line, though old movies take undefined as 0.
                       const double thickness = m.toNumber(argument(a, 0));
                       if (std::holds_alternative<Undefined>(argument(a, 0)) || std::isnan(thickness)) {
                           c.drawing().lineStyle(std::nullopt);
                           return;
                       }
                       LineStyle line;
                       line.width = std::uint16_t(std::lround(std::clamp(thickness, 0.0, 255.0) * kTwipsPerPixel));
                       line.fill.color = colorOf(m, argument(a, 1), argument(a, 2));
                       line.pixelHinting = m.conversions().toBoolean(argument(a, 3));
                       const std::string scaling = m.toString(argument(a, 4));
                       line.scalesHorizontally = scaling != "none" && scaling != "vertical";
                       line.scalesVertically = scaling != "none" && scaling != "horizontal";
                       const std::string caps = m.toString(argument(a, 5)), joints = m.toString(argument(a, 6));
                       line.startCap = line.endCap = caps == "none"     ? LineStyle::Cap::None
                                                     : caps == "square" ? LineStyle::Cap::Square
                                                                        : LineStyle::Cap::Round;
                       line.join = joints == "miter"   ? LineStyle::Join::Miter
                                   : joints == "bevel" ? LineStyle::Join::Bevel
                                                       : LineStyle::Join::Round;
                       const double miter = m.toNumber(argument(a, 7));
                       line.miterLimit = std::isfinite(miter) ? std::clamp(miter, 1.0, 255.0) : 3;
                       c.drawing().lineStyle(line);
                   }));
    m.defineMethod(clip, "moveTo", onClip([](Machine& m, auto& c, Arguments& a) {
                       c.drawing().moveTo(pointOf(m, argument(a, 0), argument(a, 1)));
                   }));
    m.defineMethod(clip, "lineTo", onClip([](Machine& m, auto& c, Arguments& a) {
                       c.drawing().lineTo(pointOf(m, argument(a, 0), argument(a, 1)));
                   }));
    m.defineMethod(clip, "curveTo", onClip([](Machine& m, auto& c, Arguments& a) {
                       c.drawing().curveTo(pointOf(m, argument(a, 0), argument(a, 1)),
                                           pointOf(m, argument(a, 2), argument(a, 3)));
                   }));
    m.defineMethod(clip, "clear", onClip([](Machine&, auto& c, Arguments&) { c.drawing().clear(); }));
}

} // namespace

TimelinePlayer::ScriptClip* clipOf(const avm1::Value& value)
{
    avm1::Object* object = avm1::objectIn(value);
    return object ? dynamic_cast<TimelinePlayer::ScriptClip*>(object->clip) : nullptr;
}

void installClipMethods(Machine& m)
{
    // Buttons' objects have where they are and how they look, and the handlers scripts give them.
    Object* button = m.makeObject(m.objectPrototype());
    installPlacedProperties(m, button);
    m.defineClass(m.global(), "Button", button, [](Machine&, Value, Arguments&) { return Value(Undefined{}); });
    // targetPath(clip): its path in dots, as it prints; updateAfterEvent asks for a picture the
    // next frame draws anyway.
    m.defineMethod(m.global(), "targetPath", [](Machine& m, Value, Arguments& a) {
        return clipOf(argument(a, 0)) ? Value(m.toString(argument(a, 0))) : Value(Undefined{});
    });
    m.defineMethod(m.global(), "updateAfterEvent", [](Machine&, Value, Arguments&) { return Value(Undefined{}); });
    Object* clip = m.movieClipPrototype();
    // The frames.
    m.defineMethod(clip, "play", onClip([](Machine&, auto& c, Arguments&) { c.play(); }));
    m.defineMethod(clip, "stop", onClip([](Machine&, auto& c, Arguments&) { c.stop(); }));
    m.defineMethod(clip, "nextFrame", onClip([](Machine&, auto& c, Arguments&) { c.nextFrame(); }));
    m.defineMethod(clip, "prevFrame", onClip([](Machine&, auto& c, Arguments&) { c.previousFrame(); }));
    m.defineMethod(clip, "gotoAndPlay",
                   onClip([](Machine& m, auto& c, Arguments& a) { goTo(m, c, argument(a, 0), true); }));
    m.defineMethod(clip, "gotoAndStop",
                   onClip([](Machine& m, auto& c, Arguments& a) { goTo(m, c, argument(a, 0), false); }));
    // The movie is all loaded once it plays.
    const auto bytes = [](Machine&, auto& c, Arguments&) { return Value(double(c.timeline().movieBytes())); };
    m.defineMethod(clip, "getBytesLoaded", onClip(bytes));
    m.defineMethod(clip, "getBytesTotal", onClip(bytes));
    m.defineMethod(clip, "toString",
                   onClip([](Machine&, auto& c, Arguments&) { return Value("_level0" + c.path('.')); }));
    m.defineMethod(clip, "getURL", onClip([](Machine& m, auto& c, Arguments& a) {
                       c.getUrl(m.toString(argument(a, 0)), m.toString(argument(a, 1)));
                   }));
    // startDrag(lockCenter, left, top, right, bottom): the bounds are all given or none is.
    m.defineMethod(clip, "startDrag", onClip([](Machine& m, auto& c, Arguments& a) {
                       std::optional<Box> bounds;
                       if (a.size() >= 5)
                           bounds = Box{m.toNumber(a[1]), m.toNumber(a[2]), m.toNumber(a[3]), m.toNumber(a[4])};
                       c.startDrag(m.conversions().toBoolean(argument(a, 0)), bounds);
                   }));
    m.defineMethod(clip, "stopDrag", onClip([](Machine&, auto& c, Arguments&) { c.stopDrag(); }));
    for (const char* refused : {"loadMovie", "loadVariables"})
        m.defineMethod(clip, refused, [refused](Machine& m, Value, Arguments&) {
            m.notice(std::string("MovieClip.") + refused);
            return Value(Undefined{});
        });
    m.defineMethod(clip, "unloadMovie", [](Machine&, Value, Arguments&) { return Value(Undefined{}); });

    // Depths and children.
    m.defineMethod(clip, "getDepth", onClip([](Machine&, auto& c, Arguments&) { return Value(double(c.depth())); }));
    m.defineMethod(clip, "getInstanceAtDepth", onClip([](Machine& m, auto& c, Arguments& a) {
                       return orUndefined(c.childAt(m.toNumber(argument(a, 0))));
                   }));
    m.defineMethod(clip, "getSWFVersion",
                   onClip([](Machine&, auto& c, Arguments&) { return Value(double(c.movieVersion())); }));
    m.defineMethod(clip, "getNextHighestDepth",
                   onClip([](Machine&, auto& c, Arguments&) { return Value(double(c.nextHighestDepth())); }));
    m.defineMethod(clip, "createEmptyMovieClip", onClip([](Machine& m, auto& c, Arguments& a) {
                       return orUndefined(
                           c.createChild(std::nullopt, m.toString(argument(a, 0)), m.toNumber(argument(a, 1))));
                   }));
    m.defineMethod(clip, "attachMovie", onClip([](Machine& m, auto& c, Arguments& a) {
                       const std::optional<std::uint16_t> id = c.timeline().exported(m.toString(argument(a, 0)));
                       if (!id)
                           return Value(Undefined{});
                       Object* made = c.createChild(id, m.toString(argument(a, 1)), m.toNumber(argument(a, 2)));
                       if (Object* init = objectIn(argument(a, 3)); init && made)
                           for (const std::string& key : init->keys())
                               m.setMember(made, key, m.member(init, key));
                       if (TimelinePlayer::ScriptClip* child = clipOf(Value(made)))
                           child->timeline().construct(); // after the init object, as players do
                       return orUndefined(made);
                   }));
    m.defineMethod(clip, "duplicateMovieClip", onClip([](Machine& m, auto& c, Arguments& a) {
                       Object* made = c.duplicate(m.toString(argument(a, 0)), m.toNumber(argument(a, 1)));
                       if (Object* init = objectIn(argument(a, 2)); init && made)
                           for (const std::string& key : init->keys())
                               m.setMember(made, key, m.member(init, key));
                       return orUndefined(made);
                   }));
    m.defineMethod(clip, "removeMovieClip", onClip([](Machine&, auto& c, Arguments&) { c.remove(); }));
    m.defineMethod(clip, "swapDepths", onClip([](Machine& m, auto& c, Arguments& a) {
                       if (TimelinePlayer::ScriptClip* other = clipOf(argument(a, 0)))
                           c.swapWith(*other);
                       else
                           c.swapDepths(m.toNumber(argument(a, 0)));
                   }));

    // Where it is.
    // getRect leaves out the strokes' widths in other players; here it is getBounds, with them.
    for (const char* name : {"getBounds", "getRect"})
        m.defineMethod(clip, name, onClip([](Machine& m, auto& c, Arguments& a) {
                           const std::optional<Box> box = c.boundsIn(clipOf(argument(a, 0)));
                           Object* out = m.makeObject(m.objectPrototype());
                           const Box shown = box.value_or(Box{6710886.4 * kTwipsPerPixel, 6710886.4 * kTwipsPerPixel,
                                                              6710886.4 * kTwipsPerPixel, 6710886.4 * kTwipsPerPixel});
                           m.setMember(out, "xMin", shown.xMin / kTwipsPerPixel);
                           m.setMember(out, "xMax", shown.xMax / kTwipsPerPixel);
                           m.setMember(out, "yMin", shown.yMin / kTwipsPerPixel);
                           m.setMember(out, "yMax", shown.yMax / kTwipsPerPixel);
                           return Value(out);
                       }));
    const auto convertPoint = [](bool toGlobal) {
        return onClip([toGlobal](Machine& m, auto& c, Arguments& a) {
            const Value point = argument(a, 0);
            if (!objectIn(point))
                return;
            const Matrix toStage = c.toStage();
            const std::optional<Matrix> matrix = toGlobal ? std::optional(toStage) : inverted(toStage);
            if (!matrix)
                return;
            const double x = m.toNumber(m.member(point, "x")) * kTwipsPerPixel;
            const double y = m.toNumber(m.member(point, "y")) * kTwipsPerPixel;
            m.setMember(point, "x", (matrix->a * x + matrix->c * y + matrix->tx) / kTwipsPerPixel);
            m.setMember(point, "y", (matrix->b * x + matrix->d * y + matrix->ty) / kTwipsPerPixel);
        });
    };
    m.defineMethod(clip, "localToGlobal", convertPoint(true));
    m.defineMethod(clip, "globalToLocal", convertPoint(false));
    m.defineMethod(clip, "hitTest", onClip([](Machine& m, auto& c, Arguments& a) {
                       const std::optional<Box> mine = c.boundsIn(nullptr);
                       if (!mine)
                           return Value(false);
                       if (TimelinePlayer::ScriptClip* other = clipOf(argument(a, 0))) {
                           const std::optional<Box> theirs = other->boundsIn(nullptr);
                           return Value(theirs && theirs->xMin <= mine->xMax && mine->xMin <= theirs->xMax
                                        && theirs->yMin <= mine->yMax && mine->yMin <= theirs->yMax);
                       }
                       // A point of the stage, in pixels: within the bounds, or with the shape
                       // flag, within the fills.
                       const double x = m.toNumber(argument(a, 0)) * kTwipsPerPixel,
                                    y = m.toNumber(argument(a, 1)) * kTwipsPerPixel;
                       if (!(x >= mine->xMin && x <= mine->xMax && y >= mine->yMin && y <= mine->yMax))
                           return Value(false);
                       ScriptPainter* painter = m.conversions().toBoolean(argument(a, 2)) ? c.painterFor(0) : nullptr;
                       return Value(
                           !painter
                           || painter->covers(c.contents(), c.toStage(), Point{std::int32_t(x), std::int32_t(y)}));
                   }));
    // A clip, or the path of one from the main timeline; null or undefined takes the mask away.
    // Nothing given, or a path to nothing, leaves the mask as it was.
    m.defineMethod(clip, "setMask", onClip([](Machine& m, auto& c, Arguments& a) {
                       if (a.empty())
                           return Value(false);
                       Value mask = a.front();
                       if (std::holds_alternative<Undefined>(mask) || std::holds_alternative<avm1::Null>(mask)) {
                           c.setMask(nullptr);
                           return Value(true);
                       }
                       if (!objectIn(mask))
                           mask = m.variable(m.toString(mask));
                       TimelinePlayer::ScriptClip* found = clipOf(mask);
                       if (found)
                           c.setMask(found);
                       return Value(found != nullptr);
                   }));
    installDrawing(m, clip);
}

} // namespace quillmere::swf
