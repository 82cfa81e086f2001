// flash.filters' classes, and a clip's filters, blendMode, cacheAsBitmap and opaqueBackground:
// what scripts set is drawn as the movie's own would be.

#include <cmath>
#include <functional>
#include <numbers>

#include "swf/avm1/natives.h"
#include "swf/script_clip.h"

namespace quillmere::swf {

namespace {

using namespace avm1; // the natives' helpers, and the values they take

// The blend modes by name, in the order of their numbers from 1.
constexpr const char* kBlendModes[] = {"normal", "layer",    "multiply", "screen", "lighten", "darken",  "difference",
                                       "add",    "subtract", "invert",   "alpha",  "erase",   "overlay", "hardlight"};

// A constructor's argument: its name, and what it is when not given: a number, a text, or
// (for the arrays) null.
struct Field {
    const char* name;
    double number = 0;
    const char* text = nullptr;
    bool none = false;

    Value fallback() const { return none ? Value(Null{}) : text ? Value(std::string(text)) : Value(number); }
};

struct FilterClass {
    const char* name;
    Filter::Kind kind;
    std::vector<Field> fields; // in the order the constructor takes them
};

// The gradient glow's and bevel's, which differ in where they go unless told.
std::vector<Field> gradientFields(const char* type)
{
    return {{"distance", 4},
            {"angle", 45},
            {"colors", 0, nullptr, true},
            {"alphas", 0, nullptr, true},
            {"ratios", 0, nullptr, true},
            {"blurX", 4},
            {"blurY", 4},
            {"strength", 1},
            {"quality", 1},
            {"type", 0, type},
            {"knockout", 0}};
}

const std::vector<FilterClass>& filterClasses()
{
    static const std::vector<FilterClass> classes{
        {"BlurFilter", Filter::Kind::Blur, {{"blurX", 4}, {"blurY", 4}, {"quality", 1}}},
        {"DropShadowFilter",
         Filter::Kind::DropShadow,
         {{"distance", 4},
          {"angle", 45},
          {"color", 0},
          {"alpha", 1},
          {"blurX", 4},
          {"blurY", 4},
          {"strength", 1},
          {"quality", 1},
          {"inner", 0},
          {"knockout", 0},
          {"hideObject", 0}}},
        {"GlowFilter",
         Filter::Kind::Glow,
         {{"color", 0xFF0000},
          {"alpha", 1},
          {"blurX", 6},
          {"blurY", 6},
          {"strength", 2},
          {"quality", 1},
          {"inner", 0},
          {"knockout", 0}}},
        {"BevelFilter",
         Filter::Kind::Bevel,
         {{"distance", 4},
          {"angle", 45},
          {"highlightColor", 0xFFFFFF},
          {"highlightAlpha", 1},
          {"shadowColor", 0},
          {"shadowAlpha", 1},
          {"blurX", 4},
          {"blurY", 4},
          {"strength", 1},
          {"quality", 1},
          {"type", 0, "inner"},
          {"knockout", 0}}},
        {"GradientGlowFilter", Filter::Kind::GradientGlow, gradientFields("outer")},
        {"GradientBevelFilter", Filter::Kind::GradientBevel, gradientFields("inner")},
        {"ConvolutionFilter",
         Filter::Kind::Convolution,
         {{"matrixX", 0},
          {"matrixY", 0},
          {"matrix", 0, nullptr, true},
          {"divisor", 1},
          {"bias", 0},
          {"preserveAlpha", 1},
          {"clamp", 1},
          {"color", 0},
          {"alpha", 0}}},
        {"ColorMatrixFilter", Filter::Kind::ColorMatrix, {{"matrix", 0, nullptr, true}}},
    };
    return classes;
}

const FilterClass* classOf(Filter::Kind kind)
{
    for (const FilterClass& type : filterClasses())
        if (type.kind == kind)
            return &type;
    return nullptr;
}

// The one description of how a filter's script fields stand for a Filter, walked one way to
// read a filter from a script's object and the other to give it back.
template <typename Visit>
void visitFields(Filter& f, Visit& visit)
{
    using Kind = Filter::Kind;
    const bool gradient = f.kind == Kind::GradientGlow || f.kind == Kind::GradientBevel;
    if (f.kind == Kind::ColorMatrix) {
        visit.numbers("matrix", f.matrix, 20);
        return;
    }
    if (f.kind == Kind::Convolution) {
        visit.count("matrixX", f.columns);
        visit.count("matrixY", f.rows);
        visit.numbers("matrix", f.matrix, std::size_t(f.columns * f.rows));
        visit.number("divisor", f.divisor);
        visit.number("bias", f.bias);
        visit.flag("preserveAlpha", f.preserveAlpha, false);
        visit.flag("clamp", f.clamp, false);
        visit.color("color", "alpha", f.defaultColor);
        return;
    }
    visit.number("blurX", f.blurX, 0, 255);
    visit.number("blurY", f.blurY, 0, 255);
    visit.count("quality", f.passes, 15);
    if (f.kind == Kind::Blur)
        return;
    if (!gradient)
        f.colors.resize(f.kind == Kind::Bevel ? 2 : 1);
    visit.number("strength", f.strength, 0, 255);
    visit.flag("knockout", f.knockout, false);
    if (f.kind != Kind::Glow) {
        visit.number("distance", f.distance, -1e4, 1e4);
        visit.angle("angle", f.angle);
    }
    if (f.kind == Kind::DropShadow || f.kind == Kind::Glow) {
        visit.color("color", "alpha", f.colors[0]);
        visit.flag("inner", f.inner, false);
        if (f.kind == Kind::DropShadow)
            visit.flag("hideObject", f.compositeSource, true);
        return;
    }
    visit.type("type", f.inner, f.onTop);
    if (gradient) {
        visit.gradient("colors", "alphas", "ratios", f.colors, f.ratios);
        return;
    }
    visit.color("shadowColor", "shadowAlpha", f.colors[0]);
    visit.color("highlightColor", "highlightAlpha", f.colors[1]);
}

std::uint32_t rgbOf(const Rgba& c)
{
    return std::uint32_t(c.r) << 16 | std::uint32_t(c.g) << 8 | c.b;
}

// Reads a filter from a script's object, each number kept within what the format can hold.
struct Reading {
    Machine& m;
    Value object;

    Value get(const char* name) { return m.member(object, name); }
    double finite(const Value& v, double fallback = 0)
    {
        const double n = m.toNumber(v);
        return std::isfinite(n) ? n : fallback;
    }
    template <typename T>
    void number(const char* name, T& out, double least = -1e7, double most = 1e7)
    {
        out = T(std::clamp(finite(get(name)), least, most));
    }
    void count(const char* name, int& out, int most = 15)
    {
        out = int(std::clamp(finite(get(name)), 0.0, double(most)));
    }
    void flag(const char* name, bool& out, bool inverted) { out = m.conversions().toBoolean(get(name)) != inverted; }
    void angle(const char* name, double& out)
    {
        out = std::clamp(finite(get(name)), -1e6, 1e6) * std::numbers::pi / 180;
    }
    Rgba colorOf(const Value& rgb, const Value& alpha)
    {
        const auto c = std::uint32_t(Conversions::toInt32(finite(rgb)));
        return Rgba{std::uint8_t(c >> 16), std::uint8_t(c >> 8), std::uint8_t(c),
                    std::uint8_t(std::lround(std::clamp(finite(alpha), 0.0, 1.0) * 255))};
    }
    void color(const char* rgb, const char* alpha, Rgba& out) { out = colorOf(get(rgb), get(alpha)); }
    void type(const char* name, bool& inner, bool& onTop)
    {
        const std::string type = m.toString(get(name));
        inner = type == "inner";
        onTop = type == "full";
    }
    void numbers(const char* name, std::vector<float>& out, std::size_t count)
    {
        const Value list = get(name);
        out.clear();
        for (std::size_t i = 0; i < count; ++i)
            out.push_back(float(finite(m.member(list, std::to_string(i)))));
    }
    void gradient(const char* colors, const char* alphas, const char* ratios, std::vector<Rgba>& outColors,
                  std::vector<std::uint8_t>& outRatios)
    {
        const Value c = get(colors), a = get(alphas), r = get(ratios);
        const double length = objectIn(c) ? finite(m.member(c, "length")) : 0;
        outColors.clear();
        outRatios.clear();
        for (std::size_t i = 0; double(i) < length && i < 16; ++i) {
            const std::string index = std::to_string(i);
            outColors.push_back(colorOf(m.member(c, index), m.member(a, index)));
            outRatios.push_back(std::uint8_t(std::clamp(finite(m.member(r, index)), 0.0, 255.0)));
        }
    }
};

// Gives a filter back as the fields of a script's object.
struct Writing {
    Machine& m;
    Value object;

    void set(const char* name, Value v) { m.setMember(object, name, std::move(v)); }
    template <typename T>
    void number(const char* name, T& value, double = 0, double = 0)
    {
        set(name, double(value));
    }
    void count(const char* name, int& value, int = 0) { set(name, double(value)); }
    void flag(const char* name, bool& value, bool inverted) { set(name, value != inverted); }
    void angle(const char* name, double& radians) { set(name, radians * 180 / std::numbers::pi); }
    void color(const char* rgb, const char* alpha, Rgba& c)
    {
        set(rgb, double(rgbOf(c)));
        set(alpha, c.a / 255.0);
    }
    void type(const char* name, bool& inner, bool& onTop)
    {
        set(name, std::string(onTop ? "full" : inner ? "inner" : "outer"));
    }
    Value array(const std::vector<double>& values)
    {
        Array* list = m.makeArray();
        for (std::size_t i = 0; i < values.size(); ++i)
            list->put(std::to_string(i), values[i]);
        return Value(list);
    }
    void numbers(const char* name, std::vector<float>& values, std::size_t)
    {
        set(name, array(std::vector<double>(values.begin(), values.end())));
    }
    void gradient(const char* colors, const char* alphas, const char* ratios, std::vector<Rgba>& c,
                  std::vector<std::uint8_t>& r)
    {
        std::vector<double> rgb, alpha;
        for (const Rgba& color : c) {
            rgb.push_back(rgbOf(color));
            alpha.push_back(color.a / 255.0);
        }
        set(colors, array(rgb));
        set(alphas, array(alpha));
        set(ratios, array(std::vector<double>(r.begin(), r.end())));
    }
};

Value scriptFilter(Machine& m, Filter filter)
{
    const FilterClass* type = classOf(filter.kind);
    Object* package = objectIn(m.member(m.member(m.global(), "flash"), "filters"));
    Object* prototype = type ? objectIn(m.member(m.member(package, type->name), "prototype")) : nullptr;
    Writing writing{m, Value(m.makeObject(prototype ? prototype : m.objectPrototype()))};
    visitFields(filter, writing);
    return writing.object;
}

} // namespace

std::optional<Filter> filterOf(Machine& m, const Value& object)
{
    const std::string kind = m.toString(m.member(object, "__filter"));
    for (const FilterClass& type : filterClasses())
        if (kind == type.name) {
            Filter filter;
            filter.kind = type.kind;
            Reading reading{m, object};
            visitFields(filter, reading);
            return filter;
        }
    return std::nullopt;
}

void installFilterClasses(Machine& m)
{
    Object* package = m.makeObject(m.objectPrototype());
    if (Object* flash = objectIn(m.member(m.global(), "flash")))
        flash->put(m.key("filters"), Value(package), avm1::Property::DontEnum);
    for (const FilterClass& type : filterClasses()) {
        Object* prototype = m.makeObject(m.objectPrototype());
        prototype->put(m.key("__filter"), std::string(type.name), avm1::Property::DontEnum);
        m.defineClass(package, type.name, prototype, [&type](Machine& m, Value self, Arguments& a) {
            for (std::size_t i = 0; i < type.fields.size(); ++i)
                m.setMember(self, type.fields[i].name, i < a.size() ? a[i] : type.fields[i].fallback());
            return Value(Undefined{});
        });
        // clone(): the same filter, apart from this one.
        m.defineMethod(prototype, "clone", [](Machine& m, Value self, Arguments&) {
            const std::optional<Filter> filter = filterOf(m, self);
            return filter ? scriptFilter(m, *filter) : Value(Undefined{});
        });
    }
}

std::optional<Value> effectProperty(Machine& m, const DisplayObject& placed, std::string_view name)
{
    if (name == "blendmode") {
        const auto index = std::size_t(placed.effects.blendMode) - 1;
        return std::string(index < std::size(kBlendModes) ? kBlendModes[index] : "normal");
    }
    if (name == "cacheasbitmap")
        return placed.effects.cacheAsBitmap;
    if (name == "opaquebackground") {
        const std::optional<Rgba>& color = placed.effects.opaqueBackground;
        return color ? Value(double(rgbOf(*color))) : Value(Undefined{});
    }
    if (name == "filters") {
        // A copy each time it is read, as players give: changing it changes nothing until set.
        // Taken before the objects are made, whose setters may run a script that removes the clip.
        const std::vector<Filter> filters = placed.effects.filters;
        avm1::Array* list = m.makeArray();
        for (std::size_t i = 0; i < filters.size(); ++i)
            list->put(std::to_string(i), scriptFilter(m, filters[i]));
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

bool setEffectProperty(Machine& m, const std::function<DisplayObject*()>& placement, std::string_view name,
                       const Value& value)
{
    // Each converts what it is given first, then finds the placement: a script's valueOf or
    // getter may remove the clip, or send its parent back a frame, which places it anew.
    const auto effects = [&]() -> DisplayObject::Effects* {
        DisplayObject* placed = placement();
        return placed ? &placed->effects : nullptr;
    };
    if (name == "blendmode") {
        const BlendMode mode = blendModeOf(m, value);
        if (DisplayObject::Effects* shown = effects())
            shown->blendMode = mode;
        return true;
    }
    if (name == "cacheasbitmap") {
        const bool cached = m.conversions().toBoolean(value);
        if (DisplayObject::Effects* shown = effects())
            shown->cacheAsBitmap = cached;
        return true;
    }
    if (name == "opaquebackground") {
        // A colour fills the clip's bounds behind it; null or undefined takes it away.
        std::optional<Rgba> color;
        if (!std::holds_alternative<Undefined>(value) && !std::holds_alternative<Null>(value)) {
            const auto rgb = std::uint32_t(avm1::Conversions::toInt32(m.toNumber(value)));
            color = Rgba{std::uint8_t(rgb >> 16), std::uint8_t(rgb >> 8), std::uint8_t(rgb), 255};
        }
        if (DisplayObject::Effects* shown = effects())
            shown->opaqueBackground = color;
        return true;
    }
    if (name == "filters") {
        std::vector<Filter> filters;
        const double length = objectIn(value) ? m.toNumber(m.member(value, "length")) : 0;
        for (std::size_t i = 0; double(i) < length && i < 16; ++i)
            if (const std::optional<Filter> filter = filterOf(m, m.member(value, std::to_string(i))))
                filters.push_back(*filter);
        if (DisplayObject::Effects* shown = effects())
            shown->filters = std::move(filters);
        return true;
    }
    return false;
}

} // namespace quillmere::swf
