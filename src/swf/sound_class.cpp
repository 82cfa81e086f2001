// Sound: a banner's sounds are never heard, but each takes as long as it would to play, so
// that a script that waits for one to end, or starts it over when it ends, goes on as it would.

#include <algorithm>
#include <cmath>

#include "swf/avm1/natives.h"
#include "swf/script_clip.h"

namespace quillmere::swf {

namespace {

using namespace avm1; // the natives' helpers, and the values they take

// What a Sound keeps, hidden from scripts' loops, in milliseconds on the player's clock.
constexpr const char* kDuration = "__duration"; // of the sound attached
constexpr const char* kStarted = "__started";   // when its first loop began, as if from its start
constexpr const char* kEnds = "__ends";         // when its last loop ends
constexpr const char* kStoppedAt = "__stoppedAt";
constexpr const char* kCompletion = "__completion"; // the call of onSoundComplete to come

double kept(Machine& m, const Value& self, const char* name)
{
    return m.toNumber(m.member(self, name));
}

void keep(Machine& m, const Value& self, const char* name, double value)
{
    if (Object* object = objectIn(self))
        object->put(m.key(name), Value(value), Property::DontEnum);
}

double position(Machine& m, const Value& self)
{
    const double duration = kept(m, self, kDuration), stoppedAt = kept(m, self, kStoppedAt);
    const double ends = kept(m, self, kEnds), now = m.now();
    if (!(duration > 0) || std::isnan(ends))
        return 0;
    if (!std::isnan(stoppedAt))
        return stoppedAt;
    return now >= ends ? duration : std::fmod(now - kept(m, self, kStarted), duration);
}

void stop(Machine& m, const Value& self)
{
    const double completion = kept(m, self, kCompletion);
    if (completion >= 1) {
        m.cancelTimer(std::uint32_t(completion));
        keep(m, self, kStoppedAt, std::round(position(m, self)));
    }
    keep(m, self, kCompletion, 0);
}

} // namespace

void installSoundClass(Machine& m)
{
    Object* prototype = objectIn(m.member(m.member(Value(m.global()), "Sound"), "prototype"));
    if (!prototype)
        return;
    // attachSound(linkage): the sound the movie exports by that name, not yet started.
    m.defineMethod(prototype, "attachSound", [](Machine& m, Value self, Arguments& a) {
        stop(m, self);
        double duration = NAN;
        if (TimelinePlayer::ScriptClip* root = clipOf(Value(m.root())))
            if (const std::optional<std::uint16_t> id = root->timeline().exported(m.toString(argument(a, 0)))) {
                const auto& lengths = root->timeline().movie().soundSeconds;
                if (const auto found = lengths.find(*id); found != lengths.end())
                    duration = std::round(found->second * 1000);
            }
        keep(m, self, kDuration, duration);
        keep(m, self, kStoppedAt, NAN);
        keep(m, self, kEnds, NAN);
        return Value(Undefined{});
    });
    // start([seconds in, [loops]]): onSoundComplete is called once the last loop has played.
    m.defineMethod(prototype, "start", [](Machine& m, Value self, Arguments& a) {
        stop(m, self);
        const double duration = kept(m, self, kDuration);
        if (!(duration > 0))
            return Value(Undefined{});
        const double offset = m.toNumber(argument(a, 0)) * 1000, loops = m.toNumber(argument(a, 1));
        const double from = std::isfinite(offset) ? std::clamp(offset, 0.0, duration) : 0;
        const double plays = std::isfinite(loops) ? std::clamp(std::trunc(loops), 1.0, 1e6) : 1;
        const double total = duration * plays - from;
        keep(m, self, kStarted, m.now() - from);
        keep(m, self, kEnds, m.now() + total);
        keep(m, self, kStoppedAt, NAN);
        keep(m, self, kCompletion, double(m.callLater(self, "onSoundComplete", total).value_or(0)));
        return Value(Undefined{});
    });
    m.defineMethod(prototype, "stop", [](Machine& m, Value self, Arguments&) {
        stop(m, self);
        return Value(Undefined{});
    });
    // In milliseconds: the sound's length, and how far into its loop it has played.
    const auto duration = [](Machine& m, Value self, Arguments&) {
        const double duration = kept(m, self, kDuration);
        return Value(duration > 0 ? duration : 0.0);
    };
    const auto played = [](Machine& m, Value self, Arguments&) { return Value(std::round(position(m, self))); };
    m.defineMethod(prototype, "getDuration", duration);
    m.defineMethod(prototype, "getPosition", played);
    Function* readOnly = m.makeNative([](Machine&, Value, Arguments&) { return Value(Undefined{}); });
    prototype->putAccessor(m.key("duration"), m.makeNative(duration), readOnly);
    prototype->putAccessor(m.key("position"), m.makeNative(played), readOnly);
}

} // namespace quillmere::swf
