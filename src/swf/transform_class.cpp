// flash.geom.Transform: a clip's matrix and colour transform as flash.geom objects, which Flash 8
// banners read and set to move and tint their parts; every clip's `transform` gives one.

#include <array>
#include <cmath>
#include <string>

#include "swf/avm1/natives.h"
#include "swf/placed_properties.h"
#include "swf/script_clip.h"

namespace quillmere::swf {

namespace {

using namespace avm1; // the natives' helpers, and the values they take

class TransformObject : public Object {
public:
    using Object::Object;
    Object* clip = nullptr; // the clip's own object

    void references(std::vector<Object*>& found) const override
    {
        Object::references(found);
        found.push_back(clip);
    }
};

TimelinePlayer::ScriptClip* clipOfTransform(const Value& self)
{
    const auto* object = dynamic_cast<TransformObject*>(objectIn(self));
    return object ? clipOf(Value(object->clip)) : nullptr;
}

constexpr std::array<const char*, 4> kChannels{"red", "green", "blue", "alpha"};

Value matrixObject(Machine& m, const Matrix& matrix)
{
    Object* made = makeGeomObject(m, "Matrix");
    for (const auto& [name, value] : {std::pair{"a", matrix.a},
                                      {"b", matrix.b},
                                      {"c", matrix.c},
                                      {"d", matrix.d},
                                      {"tx", matrix.tx / kTwipsPerPixel},
                                      {"ty", matrix.ty / kTwipsPerPixel}})
        m.setMember(made, name, value);
    return made;
}

} // namespace

std::optional<Matrix> matrixOf(Machine& m, const Value& object)
{
    if (!objectIn(object))
        return std::nullopt;
    const auto number = [&](const char* name) { return m.toNumber(m.member(object, name)); };
    const Matrix matrix{number("a"), number("b"), number("c"), number("d"), twips(number("tx")), twips(number("ty"))};
    for (const double v : {matrix.a, matrix.b, matrix.c, matrix.d})
        if (!std::isfinite(v) || std::abs(v) > 1e6)
            return std::nullopt;
    return matrix;
}

namespace {

Value colorsObject(Machine& m, const ColorTransform& colors)
{
    Object* made = makeGeomObject(m, "ColorTransform");
    for (std::size_t i = 0; i < kChannels.size(); ++i) {
        m.setMember(made, std::string(kChannels[i]) + "Multiplier", colors.mult[i]);
        m.setMember(made, std::string(kChannels[i]) + "Offset", colors.add[i]);
    }
    return made;
}

} // namespace

Object* makeGeomObject(Machine& m, const char* className)
{
    Object* prototype = objectIn(m.member(m.member(m.member(m.global(), "flash"), "geom"), className));
    prototype = prototype ? objectIn(m.member(prototype, "prototype")) : nullptr;
    return m.makeObject(prototype ? prototype : m.objectPrototype());
}

Object* makeRectangle(Machine& m, const Box& box)
{
    Object* made = makeGeomObject(m, "Rectangle");
    for (const auto& [name, value] :
         {std::pair{"x", box.xMin}, {"y", box.yMin}, {"width", box.width()}, {"height", box.height()}})
        m.setMember(made, name, value);
    return made;
}

ColorTransform colorsOf(Machine& m, const Value& object)
{
    ColorTransform colors;
    for (std::size_t i = 0; i < kChannels.size(); ++i) {
        const double mult = m.toNumber(m.member(object, std::string(kChannels[i]) + "Multiplier"));
        const double add = m.toNumber(m.member(object, std::string(kChannels[i]) + "Offset"));
        colors.mult[i] = std::isfinite(mult) ? mult : 1;
        colors.add[i] = std::isfinite(add) ? add : 0;
    }
    return colors;
}

Value transformOf(Machine& m, Object* clip)
{
    Object* prototype = objectIn(m.member(m.member(m.member(m.global(), "flash"), "geom"), "Transform"));
    auto* made = m.make<TransformObject>(prototype ? objectIn(m.member(prototype, "prototype")) : nullptr);
    made->clip = clip;
    return made;
}

void installTransformClass(Machine& m)
{
    Object* geom = objectIn(m.member(m.global(), "flash"));
    geom = geom ? objectIn(m.member(geom, "geom")) : nullptr;
    if (!geom)
        return;
    Object* prototype = m.makeObject(m.objectPrototype());
    // new Transform(clip) is a clip's transform like its own; made here so that it has a clip.
    m.defineClass(geom, "Transform", prototype, [](Machine& m, Value, Arguments& a) -> Value {
        return clipOf(argument(a, 0)) ? transformOf(m, objectIn(argument(a, 0))) : Value(Undefined{});
    });
    const auto accessor = [&](const char* name, Value (*get)(Machine&, TimelinePlayer::ScriptClip&),
                              void (*set)(Machine&, TimelinePlayer::ScriptClip&, const Value&)) {
        Function* getter = m.makeNative([get](Machine& m, Value self, Arguments&) -> Value {
            TimelinePlayer::ScriptClip* clip = clipOfTransform(self);
            return clip ? get(m, *clip) : Value(Undefined{});
        });
        Function* setter = m.makeNative([set](Machine& m, Value self, Arguments& a) -> Value {
            if (TimelinePlayer::ScriptClip* clip = clipOfTransform(self))
                set(m, *clip, argument(a, 0));
            return Undefined{};
        });
        prototype->putAccessor(m.key(name), getter, setter);
    };
    accessor(
        "matrix", [](Machine& m, TimelinePlayer::ScriptClip& clip) { return matrixObject(m, clip.matrix()); },
        [](Machine& m, TimelinePlayer::ScriptClip& clip, const Value& v) {
            if (const std::optional<Matrix> matrix = matrixOf(m, v))
                clip.setMatrix(*matrix);
        });
    accessor(
        "colorTransform",
        [](Machine& m, TimelinePlayer::ScriptClip& clip) { return colorsObject(m, clip.colorTransform()); },
        [](Machine& m, TimelinePlayer::ScriptClip& clip, const Value& v) {
            if (objectIn(v))
                clip.setColorTransform(colorsOf(m, v));
        });
    accessor(
        "concatenatedMatrix",
        [](Machine& m, TimelinePlayer::ScriptClip& clip) { return matrixObject(m, clip.toStage()); },
        [](Machine&, TimelinePlayer::ScriptClip&, const Value&) {});
    accessor(
        "concatenatedColorTransform",
        [](Machine& m, TimelinePlayer::ScriptClip& clip) { return colorsObject(m, clip.colorsToStage()); },
        [](Machine&, TimelinePlayer::ScriptClip&, const Value&) {});
    // Where the clip is drawn on the stage, in whole pixels.
    accessor(
        "pixelBounds",
        [](Machine& m, TimelinePlayer::ScriptClip& clip) -> Value {
            const Box box = clip.boundsIn(nullptr).value_or(Box{});
            return makeRectangle(m, {std::floor(box.xMin / kTwipsPerPixel), std::floor(box.yMin / kTwipsPerPixel),
                                     std::ceil(box.xMax / kTwipsPerPixel), std::ceil(box.yMax / kTwipsPerPixel)});
        },
        [](Machine&, TimelinePlayer::ScriptClip&, const Value&) {});
}

} // namespace quillmere::swf
