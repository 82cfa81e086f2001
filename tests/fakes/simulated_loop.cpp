#include "fakes/simulated_loop.h"

#include <limits>

namespace quillmere::testing {

class SimulatedLoop::SimulatedTimer : public platform::Timer {
public:
    SimulatedTimer(SimulatedLoop& loop, std::shared_ptr<TimerState> state) : loop_(loop), state_(std::move(state)) {}

    void setInterval(int milliseconds) override
    {
        state_->interval = milliseconds;
        state_->running = milliseconds > 0;
        state_->due = loop_.now_ + milliseconds;
        state_->order = loop_.nextOrder_++;
    }

private:
    SimulatedLoop& loop_;
    std::shared_ptr<TimerState> state_;
};

std::unique_ptr<platform::Timer> SimulatedLoop::createTimer(std::function<void()> onTick)
{
    auto state = std::make_shared<TimerState>();
    state->onTick = std::move(onTick);
    timers_.push_back(state);
    return std::make_unique<SimulatedTimer>(*this, std::move(state));
}

void SimulatedLoop::at(std::int64_t time, std::function<void()> action)
{
    actions_.emplace(std::pair{time, nextOrder_++}, std::move(action));
}

bool SimulatedLoop::runNext(std::int64_t time, std::uint64_t beforeOrder)
{
    std::shared_ptr<TimerState> timer;
    std::pair<std::int64_t, std::uint64_t> earliest{std::numeric_limits<std::int64_t>::max(), 0};
    for (const auto& weak : timers_) {
        auto state = weak.lock();
        if (!state || !state->running || state->due > time || state->order >= beforeOrder)
            continue;
        if (std::pair{state->due, state->order} < earliest) {
            earliest = {state->due, state->order};
            timer = std::move(state);
        }
    }
    auto action = actions_.begin();
    const bool actionFirst = action != actions_.end() && action->first.first <= time
                             && action->first.second < beforeOrder && action->first < earliest;
    if (actionFirst) {
        auto run = std::move(action->second);
        now_ = std::max(now_, action->first.first);
        actions_.erase(action);
        run();
        return true;
    }
    if (!timer)
        return false;
    now_ = std::max(now_, timer->due);
    // Ticks missed while the thread was busy are dropped: a late tick counts the next from now.
    timer->due += timer->interval;
    if (timer->due <= now_)
        timer->due = now_ + timer->interval;
    timer->order = nextOrder_++;
    auto onTick = timer->onTick; // the handler may destroy the timer
    onTick();
    return true;
}

void SimulatedLoop::processPendingEvents()
{
    const std::uint64_t waitingBefore = nextOrder_;
    while (runNext(now_, waitingBefore)) {
    }
}

void SimulatedLoop::advanceBy(std::int64_t ms)
{
    const std::int64_t until = now_ + ms;
    while (runNext(until, std::numeric_limits<std::uint64_t>::max())) {
    }
    now_ = std::max(now_, until);
}

bool SimulatedLoop::advanceUntil(const std::function<bool()>& done, std::int64_t limit)
{
    const std::int64_t until = now_ + limit;
    while (!done() && runNext(until, std::numeric_limits<std::uint64_t>::max())) {
    }
    if (!done())
        now_ = std::max(now_, until);
    return done();
}

} // namespace quillmere::testing
