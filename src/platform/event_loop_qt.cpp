#include "platform/event_loop_qt.h"

#include <QCoreApplication>
#include <QTimer>

namespace quillmere::platform {

namespace {

class QtTimer : public Timer {
public:
    explicit QtTimer(std::function<void()> onTick)
    {
        // Precise: a banner's frames follow one another evenly; a coarse timer may be 5% late.
        timer_.setTimerType(Qt::PreciseTimer);
        QObject::connect(&timer_, &QTimer::timeout, std::move(onTick));
    }

    void setInterval(int milliseconds) override
    {
        if (milliseconds <= 0)
            timer_.stop();
        else
            timer_.start(milliseconds);
    }

private:
    QTimer timer_;
};

} // namespace

std::unique_ptr<Timer> QtEventLoop::createTimer(std::function<void()> onTick)
{
    return std::make_unique<QtTimer>(std::move(onTick));
}

void QtEventLoop::processPendingEvents()
{
    QCoreApplication::processEvents();
}

} // namespace quillmere::platform
