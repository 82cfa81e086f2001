// Color: tints a clip by its colour transform, as banners fade and flash their parts.

#include <cmath>
#include <optional>

#include "swf/avm1/natives.h"
#include "swf/script_clip.h"

namespace quillmere::swf {

namespace {

using namespace avm1; // the natives' helpers, and the values they take

// The clip a Color was made for: given as the clip, or as its path from the main timeline.
TimelinePlayer::ScriptClip* targetOf(Machine& m, const Value& color)
{
    Value target = m.member(color, "target");
    if (const auto* path = std::get_if<std::string>(&target))
        target = m.variable(*path);
    return clipOf(target);
}

// setTransform's and getTransform's names: multipliers in percent, then offsets.
constexpr const char* kMultipliers[] = {"ra", "ga", "ba", "aa"};
constexpr const char* kOffsets[] = {"rb", "gb", "bb", "ab"};

} // namespace

void installColorClass(Machine& m)
{
    Object* prototype = m.makeObject(m.objectPrototype());
    m.defineClass(m.global(), "Color", prototype, [](Machine& m, Value self, Arguments& a) {
        m.setMember(self, "target", argument(a, 0));
        return Value(Undefined{});
    });
    m.defineMethod(prototype, "setRGB", [](Machine& m, Value self, Arguments& a) {
        TimelinePlayer::ScriptClip* clip = targetOf(m, self);
        if (!clip)
            return Value(Undefined{});
        // Converted before the transform is read: a valueOf may change it.
        const auto rgb = std::uint32_t(avm1::Conversions::toInt32(m.toNumber(argument(a, 0))));
        ColorTransform colors = clip->colorTransform();
        colors.mult = {0, 0, 0, colors.mult[3]};
        colors.add = {double((rgb >> 16) & 0xFF), double((rgb >> 8) & 0xFF), double(rgb & 0xFF), colors.add[3]};
        clip->setColorTransform(colors);
        return Value(Undefined{});
    });
    m.defineMethod(prototype, "getRGB", [](Machine& m, Value self, Arguments&) {
        TimelinePlayer::ScriptClip* clip = targetOf(m, self);
        if (!clip)
            return Value(Undefined{});
        const ColorTransform colors = clip->colorTransform();
        const auto channel = [&](int i) { return std::uint32_t(avm1::Conversions::toInt32(colors.add[i])) & 0xFF; };
        return Value(double(channel(0) << 16 | channel(1) << 8 | channel(2)));
    });
    m.defineMethod(prototype, "setTransform", [](Machine& m, Value self, Arguments& a) {
        TimelinePlayer::ScriptClip* clip = targetOf(m, self);
        Object* object = objectIn(argument(a, 0));
        if (!clip || !object)
            return Value(Undefined{});
        // Only the object's own numbers change the transform, each as the format stores it: in
        // 16 bits, multipliers with 8 of them after the point, the rest wrapping round. What is
        // not a finite number is 0.
        const auto take = [&](const char* name, double toStored) -> std::optional<double> {
            const avm1::Property* given = object->own(m.key(name));
            if (!given)
                return std::nullopt;
            const Value value = given->value; // a copy: its valueOf may delete the property
            const double number = m.toNumber(value) * toStored;
            const auto wrapped = std::int32_t(std::isfinite(number) ? std::fmod(number, 65536) : 0);
            return std::int16_t(std::uint16_t(wrapped & 0xFFFF)) / (toStored == 1 ? 1.0 : 256.0);
        };
        // All converted before the transform is read: a valueOf may change it.
        std::optional<double> mult[4], add[4];
        for (std::size_t i = 0; i < 4; ++i) {
            mult[i] = take(kMultipliers[i], 2.56);
            add[i] = take(kOffsets[i], 1);
        }
        ColorTransform colors = clip->colorTransform();
        for (std::size_t i = 0; i < 4; ++i) {
            colors.mult[i] = mult[i].value_or(colors.mult[i]);
            colors.add[i] = add[i].value_or(colors.add[i]);
        }
        clip->setColorTransform(colors);
        return Value(Undefined{});
    });
    m.defineMethod(prototype, "getTransform", [](Machine& m, Value self, Arguments&) {
        TimelinePlayer::ScriptClip* clip = targetOf(m, self);
        if (!clip)
            return Value(Undefined{});
        const ColorTransform colors = clip->colorTransform();
        Object* out = m.makeObject(m.objectPrototype());
        for (std::size_t i = 0; i < 4; ++i) {
            m.setMember(out, kMultipliers[i], colors.mult[i] * 100);
            m.setMember(out, kOffsets[i], colors.add[i]);
        }
        return Value(out);
    });
}

} // namespace quillmere::swf
