#pragma once

#include "platform/event_loop.h"

namespace quillmere::platform {

// Window timers as QTimer (which already coalesces missed ticks) and the one pass over waiting
// events as QCoreApplication::processEvents.
class QtEventLoop : public EventLoop {
public:
    std::unique_ptr<Timer> createTimer(std::function<void()> onTick) override;
    void processPendingEvents() override;
};

} // namespace quillmere::platform
