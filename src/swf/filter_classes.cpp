// flash.filters' BlurFilter, DropShadowFilter, GlowFilter and ColorMatrixFilter, and a clip's
// filters, blendMode and cacheAsBitmap: what scripts set is drawn as the movie's own would be.

#include <cmath>
#include <numbers>

#include "swf/avm1/natives.h"
#include "swf/script_clip.h"

namespace quillmere::swf {

namespace {

using namespace avm1; // the natives' helpers, and the values they take

// The blend modes by name, in the order of their numbers from 1.
constexpr const char* kBlendModes[] = {"normal", "layer",    "multiply", "screen", "lighten", "darken",  "difference",
                                       "add",    "subtract", "invert",   "alpha",  "erase",   "overlay", "hardlight"};

// Each class's fields, in the order its constructor takes them, and their defaults.
struct Field {
    const char* name;
    double fallback;
};
constexpr Field kBlur[] = {{"blurX", 4}, {"blurY", 4}, {"quality", 1}};
constexpr Field kDropShadow[]
    = {{"distance", 4}, {"angle", 45},  {"color", 0}, {"alpha", 1},    {"blurX", 4},     {"blurY", 4},
       {"strength", 1}, {"quality", 1}, {"inner", 0}, {"knockout", 0}, {"hideObject", 0}};
constexpr Field kGlow[] = {{"color", 0xFF0000}, {"alpha", 1},   {"blurX", 6}, {"blurY", 6},
                           {"strength", 2},     {"quality", 1}, {"inner", 0}, {"knockout", 0}};

template <std::size_t N>
void defineFilterClass(Machine& m, Object* package, const char* name, const Field (&fields)[N])
{
    Object* prototype = m.makeObject(m.objectPrototype());
    prototype->put(m.key("__filter"), std::string(name), avm1::Property::DontEnum);
    m.defineClass(package, name, prototype, [&fields](Machine& m, Value self, Arguments& a) {
        for (std::size_t i = 0; i < N; ++i)
            m.setMember(self, fields[i].name, i < a.size() ? a[i] : Value(fields[i].fallback));
        return Value(Undefined{});
    });
}

} // namespace

std::optional<Filter> filterOf(Machine& m, const Value& object)
{
    const std::string kind = m.toString(m.member(object, "__filter"));
    const auto number = [&](const char* name, double least, double most) {
        const double v = m.toNumber(m.member(object, name));
        return std::isfinite(v) ? std::clamp(v, least, most) : least;
    };
    const auto color = [&] {
        const auto rgb = std::uint32_t(avm1::Conversions::toInt32(m.toNumber(m.member(object, "color"))));
        return Rgba{std::uint8_t(rgb >> 16), std::uint8_t(rgb >> 8), std::uint8_t(rgb),
                    std::uint8_t(std::lround(number("alpha", 0, 1) * 255))};
    };
    Filter filter;
    if (kind == "ColorMatrixFilter") {
        filter.kind = Filter::Kind::ColorMatrix;
        const Value matrix = m.member(object, "matrix");
        for (int i = 0; i < 20; ++i) {
            const double v = m.toNumber(m.member(matrix, std::to_string(i)));
            filter.matrix.push_back(float(std::isfinite(v) ? v : 0));
        }
        return filter;
    }
    if (kind != "BlurFilter" && kind != "DropShadowFilter" && kind != "GlowFilter")
        return std::nullopt;
    filter.kind = kind == "BlurFilter"   ? Filter::Kind::Blur
                  : kind == "GlowFilter" ? Filter::Kind::Glow
                                         : Filter::Kind::DropShadow;
    filter.blurX = number("blurX", 0, 255);
    filter.blurY = number("blurY", 0, 255);
    filter.passes = int(number("quality", 0, 15));
    if (filter.kind == Filter::Kind::Blur)
        return filter;
    filter.colors = {color()};
    filter.strength = number("strength", 0, 255);
    filter.inner = m.conversions().toBoolean(m.member(object, "inner"));
    filter.knockout = m.conversions().toBoolean(m.member(object, "knockout"));
    if (filter.kind == Filter::Kind::DropShadow) {
        filter.distance = number("distance", -1e4, 1e4);
        filter.angle = number("angle", -1e6, 1e6) * std::numbers::pi / 180;
        filter.compositeSource = !m.conversions().toBoolean(m.member(object, "hideObject"));
    }
    return filter;
}

void installFilterClasses(Machine& m)
{
    Object* package = m.makeObject(m.objectPrototype());
    if (Object* flash = objectIn(m.member(m.global(), "flash")))
        flash->put(m.key("filters"), Value(package), avm1::Property::DontEnum);
    defineFilterClass(m, package, "BlurFilter", kBlur);
    defineFilterClass(m, package, "DropShadowFilter", kDropShadow);
    defineFilterClass(m, package, "GlowFilter", kGlow);
    Object* matrix = m.makeObject(m.objectPrototype());
    matrix->put(m.key("__filter"), std::string("ColorMatrixFilter"), avm1::Property::DontEnum);
    m.defineClass(package, "ColorMatrixFilter", matrix, [](Machine& m, Value self, Arguments& a) {
        m.setMember(self, "matrix", argument(a, 0));
        return Value(Undefined{});
    });
}

std::optional<Value> effectProperty(Machine& m, const DisplayObject& placed, std::string_view name)
{
    if (name == "blendmode") {
        const auto index = std::size_t(placed.effects.blendMode) - 1;
        return std::string(index < std::size(kBlendModes) ? kBlendModes[index] : "normal");
    }
    if (name == "cacheasbitmap")
        return placed.effects.cacheAsBitmap;
    if (name == "filters") {
        // A copy each time it is read, as players give: changing it changes nothing until set.
        avm1::Array* list = m.makeArray();
        Object* package = objectIn(m.member(m.member(m.global(), "flash"), "filters"));
        for (std::size_t i = 0; i < placed.effects.filters.size(); ++i) {
            const Filter& f = placed.effects.filters[i];
            const char* kind = f.kind == Filter::Kind::Blur         ? "BlurFilter"
                               : f.kind == Filter::Kind::Glow       ? "GlowFilter"
                               : f.kind == Filter::Kind::DropShadow ? "DropShadowFilter"
                                                                    : "ColorMatrixFilter";
            Object* prototype = objectIn(m.member(m.member(package, kind), "prototype"));
            Object* made = m.makeObject(prototype ? prototype : m.objectPrototype());
            m.setMember(made, "blurX", f.blurX);
            m.setMember(made, "blurY", f.blurY);
            m.setMember(made, "quality", double(f.passes));
            list->put(std::to_string(i), Value(made));
        }
        return Value(list);
    }
    return std::nullopt;
}

BlendMode blendModeOf(Machine& m, const Value& value)
{
    if (const auto* text = std::get_if<std::string>(&value)) {
        for (std::size_t i = 0; i < std::size(kBlendModes); ++i)
            if (*text == kBlendModes[i])
                return BlendMode(i + 1);
        return BlendMode::Normal;
    }
    const double number = m.toNumber(value);
    return number >= 1 && number <= double(std::size(kBlendModes)) ? BlendMode(int(number)) : BlendMode::Normal;
}

bool setEffectProperty(Machine& m, DisplayObject& placed, std::string_view name, const Value& value)
{
    if (name == "blendmode") {
        placed.effects.blendMode = blendModeOf(m, value);
        return true;
    }
    if (name == "cacheasbitmap") {
        placed.effects.cacheAsBitmap = m.conversions().toBoolean(value);
        return true;
    }
    if (name == "filters") {
        std::vector<Filter> filters;
        const double length = objectIn(value) ? m.toNumber(m.member(value, "length")) : 0;
        for (std::size_t i = 0; double(i) < length && i < 16; ++i)
            if (const std::optional<Filter> filter = filterOf(m, m.member(value, std::to_string(i))))
                filters.push_back(*filter);
        placed.effects.filters = std::move(filters);
        return true;
    }
    return false;
}

} // namespace quillmere::swf
