#pragma once

#include <functional>
#include <memory>

namespace quillmere::platform {

// A window timer. Interval 0 stops it; a non-zero interval (milliseconds) starts it or restarts
// its count, the first tick one interval later. Ticks run only when the thread processes events,
// at most one is pending at a time, and missed ticks are not made up.
class Timer {
public:
    virtual ~Timer() = default;
    virtual void setInterval(int milliseconds) = 0;
};

// The window's event loop, as seen from inside an event handler.
class EventLoop {
public:
    virtual ~EventLoop() = default;
    virtual std::unique_ptr<Timer> createTimer(std::function<void()> onTick) = 0;
    // Runs the events waiting at this moment (ticks, clicks, repaints), each to its end, then
    // returns.
    virtual void processPendingEvents() = 0;
};

} // namespace quillmere::platform
