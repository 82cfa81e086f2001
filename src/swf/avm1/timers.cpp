// The scripts' clock: getTimer, Date, and the intervals and time-outs the player runs on its
// own clock between frames.

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <optional>
#include <string>

#include "swf/avm1/machine.h"
#include "swf/avm1/natives.h"

namespace quillmere::swf::avm1 {

namespace {

constexpr double kLatestDate = 8.64e15; // the dates scripts may hold: ±100 million days

// A date's fields, in local time or UTC, from milliseconds since 1970.
std::tm fieldsOf(double milliseconds, bool utc)
{
    const auto seconds = std::time_t(std::floor(milliseconds / 1000));
    std::tm fields{};
    if (utc)
        gmtime_r(&seconds, &fields);
    else
        localtime_r(&seconds, &fields);
    return fields;
}

// Milliseconds since 1970 of fields that may lie out of their range, as a month of 12 is
// January of the next year; NaN past the dates scripts may hold.
double timeOf(std::tm fields, double milliseconds, bool utc)
{
    fields.tm_isdst = -1;
    const double time = double(utc ? timegm(&fields) : std::mktime(&fields)) * 1000 + milliseconds;
    return std::abs(time) <= kLatestDate ? std::trunc(time) : NAN;
}

// The year, month, day, hours, minutes, seconds and milliseconds of `fields`, by index.
int* partOf(std::tm& fields, std::size_t index)
{
    int* const parts[]
        = {&fields.tm_year, &fields.tm_mon, &fields.tm_mday, &fields.tm_hour, &fields.tm_min, &fields.tm_sec};
    return parts[index];
}

// A year as dates take it: 0 to 99 are of the 1900s.
int yearOf(double year)
{
    return year >= 0 && year < 100 ? int(year) + 1900 : int(year);
}

// Fields given to the constructor, Date.UTC or a setter, as a number each, from field `first`
// on; what is not a number makes no date.
std::optional<double> withParts(Machine& m, const Arguments& given, std::size_t first, std::size_t most, double time,
                                bool utc, bool years)
{
    std::tm fields = fieldsOf(time, utc);
    double milliseconds = time - std::floor(time / 1000) * 1000;
    for (std::size_t i = 0; i < given.size() && i < most && first + i < 7; ++i) {
        const double v = m.toNumber(given[i]);
        if (!std::isfinite(v))
            return std::nullopt;
        const double part = std::trunc(std::clamp(v, -1e9, 1e9));
        if (first + i == 6)
            milliseconds = part;
        else if (first + i == 0)
            fields.tm_year = (years ? yearOf(part) : int(part)) - 1900;
        else
            *partOf(fields, first + i) = int(part);
    }
    return timeOf(fields, milliseconds, utc);
}

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
            if (bytes > kMostTimerBytes)
                return Value(Undefined{});
            const std::optional<std::uint32_t> id = m.addTimer(std::move(timer));
            return id ? Value(double(*id)) : Value(Undefined{});
        };
    };
    defineMethod(global_, "setInterval", schedule(true));
    defineMethod(global_, "setTimeout", schedule(false));
    const auto cancel = [](Machine& m, Value, Arguments& a) {
        const double id = m.toNumber(argument(a, 0));
        if (id >= 1 && id <= m.lastTimer_ && id == std::trunc(id))
            m.cancelTimer(std::uint32_t(id));
        return Value(Undefined{});
    };
    defineMethod(global_, "clearInterval", cancel);
    defineMethod(global_, "clearTimeout", cancel);

    Object* date = makeObject(objectPrototype_);
    defineClass(global_, "Date", date, [](Machine& m, Value self, Arguments& a) {
        double time = m.epoch_ + m.now();
        if (a.size() == 1)
            time = m.toNumber(a[0]);
        else if (a.size() > 1) // from the first of January 1970, 00:00, local time
            time = withParts(m, a, 0, 7, timeOf(fieldsOf(0, true), 0, false), false, true).value_or(NAN);
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
    // Each field in local time, and in UTC; setting some keeps the others.
    static constexpr const char* kFields[]
        = {"FullYear", "Month", "Date", "Hours", "Minutes", "Seconds", "Milliseconds"};
    for (const bool utc : {false, true}) {
        const std::string kind = utc ? "UTC" : "";
        for (std::size_t i = 0; i < std::size(kFields); ++i) {
            defineMethod(date, "get" + kind + kFields[i], [timeOf, i, utc](Machine& m, Value self, Arguments&) {
                const double time = timeOf(m, self);
                if (!std::isfinite(time))
                    return Value(NAN);
                std::tm fields = fieldsOf(time, utc);
                return Value(i == 6 ? time - std::floor(time / 1000) * 1000 : *partOf(fields, i) + (i == 0 ? 1900 : 0));
            });
            defineMethod(date, "set" + kind + kFields[i], [timeOf, i, utc](Machine& m, Value self, Arguments& a) {
                static constexpr std::size_t kMost[] = {3, 2, 1, 4, 3, 2, 1};
                const double was = timeOf(m, self);
                const double time
                    = withParts(m, a, i, kMost[i], std::isfinite(was) ? was : 0, utc, false).value_or(NAN);
                m.setMember(self, "__time", time);
                return Value(time);
            });
        }
        defineMethod(date, "get" + kind + "Day", [timeOf, utc](Machine& m, Value self, Arguments&) {
            const double time = timeOf(m, self);
            return Value(std::isfinite(time) ? double(fieldsOf(time, utc).tm_wday) : NAN);
        });
    }
    defineMethod(date, "getYear", [timeOf](Machine& m, Value self, Arguments&) {
        const double time = timeOf(m, self);
        return Value(std::isfinite(time) ? double(fieldsOf(time, false).tm_year) : NAN);
    });
    defineMethod(date, "setYear", [timeOf](Machine& m, Value self, Arguments& a) {
        const double was = timeOf(m, self);
        const double time = withParts(m, a, 0, 1, std::isfinite(was) ? was : 0, false, true).value_or(NAN);
        m.setMember(self, "__time", time);
        return Value(time);
    });
    // Date.UTC(year, month[, day, hours, minutes, seconds, milliseconds]): milliseconds since 1970.
    defineMethod(objectIn(member(Value(global_), "Date")), "UTC", [](Machine& m, Value, Arguments& a) {
        return Value(withParts(m, a, 0, 7, 0, true, true).value_or(NAN));
    });
    // As "Wed Dec 9 11:49:09 GMT+0100 2026", in local time.
    defineMethod(date, "toString", [timeOf](Machine& m, Value self, Arguments&) {
        const double time = timeOf(m, self);
        if (!std::isfinite(time))
            return Value(std::string("Invalid Date"));
        const std::tm t = fieldsOf(time, false);
        static constexpr const char* kDays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
        static constexpr const char* kMonths[]
            = {"Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
        const long offset = t.tm_gmtoff / 60;
        char text[64];
        std::snprintf(text, sizeof text, "%s %s %d %02d:%02d:%02d GMT%c%02ld%02ld %d", kDays[t.tm_wday],
                      kMonths[t.tm_mon], t.tm_mday, t.tm_hour, t.tm_min, t.tm_sec, offset < 0 ? '-' : '+',
                      std::labs(offset) / 60, std::labs(offset) % 60, t.tm_year + 1900);
        return Value(m.capped(text));
    });
    defineMethod(date, "getTimezoneOffset", [timeOf](Machine& m, Value self, Arguments&) {
        const double time = timeOf(m, self);
        return Value(std::isfinite(time) ? double(-fieldsOf(time, false).tm_gmtoff / 60) : NAN);
    });
}

std::optional<std::uint32_t> Machine::addTimer(Timer timer)
{
    if (timers_.size() >= kMostTimers)
        return std::nullopt;
    timer.id = ++lastTimer_;
    timers_.push_back(std::move(timer));
    return lastTimer_;
}

std::optional<std::uint32_t> Machine::callLater(Value self, std::string method, double milliseconds)
{
    Timer timer;
    timer.self = std::move(self);
    timer.method = std::move(method);
    timer.due = now() + std::max(0.0, milliseconds);
    return addTimer(std::move(timer));
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
