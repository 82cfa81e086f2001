// The scripts' clock: getTimer, Date, and the intervals and time-outs the player runs on its
// own clock between frames.

#include <cmath>
#include <ctime>

#include "swf/avm1/machine.h"
#include "swf/avm1/natives.h"

namespace quillmere::swf::avm1 {

namespace {

// A date's fields in local time, from milliseconds since 1970.
std::tm localTime(double milliseconds)
{
    const auto seconds = std::time_t(std::floor(milliseconds / 1000));
    std::tm fields{};
    localtime_r(&seconds, &fields);
    return fields;
}

constexpr double kLatestDate = 8.64e15; // the dates scripts may hold: ±100 million days

} // namespace

void Machine::installTimers()
{
    defineMethod(global_, "getTimer", [](Machine& m, Value, Arguments&) { return Value(std::trunc(m.now())); });

    // setInterval(function, milliseconds, arguments...) or setInterval(object, "method", ...).
    const auto schedule = [](bool repeat) {
        return [repeat](Machine& m, Value, Arguments& a) {
            Timer timer;
            std::size_t next = 1;
            if (!dynamic_cast<Function*>(objectIn(argument(a, 0)))) {
                timer.self = argument(a, 0);
                timer.method = m.toString(argument(a, 1));
                next = 2;
            } else {
                timer.function = argument(a, 0);
            }
            const double period = m.toNumber(argument(a, next));
            timer.period = std::isfinite(period) && period > 0 ? period : 0;
            timer.due = m.now() + timer.period;
            timer.repeat = repeat;
            std::size_t bytes = 0;
            for (std::size_t i = next + 1; i < a.size(); ++i) {
                timer.arguments.push_back(a[i]);
                if (const auto* text = std::get_if<std::string>(&a[i]))
                    bytes += text->size();
            }
            // What timers hold lies outside the heap: each may hold only so much.
            if (m.timers_.size() >= kMostTimers || bytes > kMostTimerBytes)
                return Value(Undefined{});
            timer.id = ++m.lastTimer_;
            m.timers_.push_back(std::move(timer));
            return Value(double(m.lastTimer_));
        };
    };
    defineMethod(global_, "setInterval", schedule(true));
    defineMethod(global_, "setTimeout", schedule(false));
    const auto cancel = [](Machine& m, Value, Arguments& a) {
        const double id = m.toNumber(argument(a, 0));
        std::erase_if(m.timers_, [id](const Timer& timer) { return double(timer.id) == id; });
        return Value(Undefined{});
    };
    defineMethod(global_, "clearInterval", cancel);
    defineMethod(global_, "clearTimeout", cancel);

    Object* date = makeObject(objectPrototype_);
    defineClass(global_, "Date", date, [](Machine& m, Value self, Arguments& a) {
        double time = m.epoch_ + m.now();
        if (a.size() == 1) {
            time = m.toNumber(a[0]);
        } else if (a.size() > 1) {
            std::tm fields{};
            const auto field = [&](std::size_t i, double fallback) {
                const double v = i < a.size() ? m.toNumber(a[i]) : fallback;
                return std::isfinite(v) ? int(std::clamp(v, -1e6, 1e6)) : 0;
            };
            fields.tm_year = field(0, 1970) - 1900;
            fields.tm_mon = field(1, 0);
            fields.tm_mday = field(2, 1);
            fields.tm_hour = field(3, 0);
            fields.tm_min = field(4, 0);
            fields.tm_sec = field(5, 0);
            fields.tm_isdst = -1;
            time = double(std::mktime(&fields)) * 1000 + field(6, 0);
        }
        m.setMember(self, "__time", std::abs(time) <= kLatestDate ? std::trunc(time) : NAN);
        if (Object* object = objectIn(self))
            object->setFlags(m.key("__time"), Property::DontEnum, 0);
        return Value(Undefined{});
    });
    const auto timeOf = [](Machine& m, const Value& self) { return m.toNumber(m.member(self, "__time")); };
    defineMethod(date, "getTime", [timeOf](Machine& m, Value self, Arguments&) { return Value(timeOf(m, self)); });
    defineMethod(date, "valueOf", [timeOf](Machine& m, Value self, Arguments&) { return Value(timeOf(m, self)); });
    defineMethod(date, "setTime", [](Machine& m, Value self, Arguments& a) {
        const double time = m.toNumber(argument(a, 0));
        m.setMember(self, "__time", std::abs(time) <= kLatestDate ? std::trunc(time) : NAN);
        return Value(time);
    });
    const auto field = [timeOf](int (*pick)(const std::tm&, double)) {
        return [timeOf, pick](Machine& m, Value self, Arguments&) {
            const double time = timeOf(m, self);
            return Value(std::isfinite(time) ? double(pick(localTime(time), time)) : NAN);
        };
    };
    defineMethod(date, "getFullYear", field([](const std::tm& t, double) { return t.tm_year + 1900; }));
    defineMethod(date, "getYear", field([](const std::tm& t, double) { return t.tm_year; }));
    defineMethod(date, "getMonth", field([](const std::tm& t, double) { return t.tm_mon; }));
    defineMethod(date, "getDate", field([](const std::tm& t, double) { return t.tm_mday; }));
    defineMethod(date, "getDay", field([](const std::tm& t, double) { return t.tm_wday; }));
    defineMethod(date, "getHours", field([](const std::tm& t, double) { return t.tm_hour; }));
    defineMethod(date, "getMinutes", field([](const std::tm& t, double) { return t.tm_min; }));
    defineMethod(date, "getSeconds", field([](const std::tm& t, double) { return t.tm_sec; }));
    defineMethod(date, "getMilliseconds",
                 field([](const std::tm&, double time) { return int(time - std::floor(time / 1000) * 1000); }));
    defineMethod(date, "getTimezoneOffset", field([](const std::tm& t, double) { return int(-t.tm_gmtoff / 60); }));
}

double Machine::now() const
{
    return host_ ? host_->milliseconds() : 0;
}

Machine::Ending Machine::runTimers(Host& host)
{
    const double now = host.milliseconds();
    // Those due now, each once: one that falls due again at once waits for the next frame.
    std::vector<std::uint32_t> due;
    for (const Timer& timer : timers_)
        if (timer.due <= now)
            due.push_back(timer.id);
    Ending ending = Ending::Finished;
    for (const std::uint32_t id : due) {
        const auto found = std::find_if(timers_.begin(), timers_.end(), [id](const Timer& t) { return t.id == id; });
        if (found == timers_.end())
            continue; // cleared by one that ran before it
        Timer timer = *found;
        if (timer.repeat)
            found->due = std::max(found->due + timer.period, now + 1);
        else
            timers_.erase(found);
        ending = guarded(host, [&] {
            const Value function = timer.method.empty() ? timer.function : member(timer.self, timer.method);
            call(function, timer.self, timer.arguments);
        });
        if (ending != Ending::Finished && ending != Ending::Thrown)
            break;
    }
    return ending;
}

} // namespace quillmere::swf::avm1
