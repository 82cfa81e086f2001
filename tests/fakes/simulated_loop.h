#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <utility>
#include <vector>

#include "platform/event_loop.h"

namespace quillmere::testing {

// An event loop on a simulated clock, with the semantics of window timers: interval 0 stops,
// a non-zero interval (re)starts the count, at most one tick pending per timer, missed ticks
// not made up. Time moves only when the thread processes events: advanceBy() is the thread
// idling (or a handler waiting: a transfer, an open message), processPendingEvents() the one
// pass over what is due now. Ties run in the order they were scheduled.
class SimulatedLoop : public platform::EventLoop {
public:
    std::unique_ptr<platform::Timer> createTimer(std::function<void()> onTick) override;
    void processPendingEvents() override;

    std::int64_t now() const { return now_; }
    // A user action (a click) at a simulated time; it runs when events are next processed.
    void at(std::int64_t time, std::function<void()> action);
    // Processes events for `ms` milliseconds, running everything that falls due on the way.
    void advanceBy(std::int64_t ms);
    // The thread is busy for `ms` without processing events: whatever falls due meanwhile waits.
    void busyFor(std::int64_t ms) { now_ += ms; }
    // Processes events until `done` holds, for at most `limit` milliseconds. Returns `done()`.
    bool advanceUntil(const std::function<bool()>& done, std::int64_t limit);

private:
    struct TimerState {
        std::function<void()> onTick;
        int interval = 0;
        std::int64_t due = 0;
        std::uint64_t order = 0;
        bool running = false;
    };
    class SimulatedTimer;

    // Runs the earliest event due by `time` that was scheduled before `beforeOrder`.
    bool runNext(std::int64_t time, std::uint64_t beforeOrder);

    std::int64_t now_ = 0;
    std::uint64_t nextOrder_ = 0;
    std::vector<std::weak_ptr<TimerState>> timers_;
    std::map<std::pair<std::int64_t, std::uint64_t>, std::function<void()>> actions_;
};

} // namespace quillmere::testing
