#include "platform/swf_banner_qt.h"

#include <algorithm>
#include <cmath>

#include <QEvent>
#include <QLabel>
#include <QPixmap>

namespace quillmere::platform {

SwfBanner::SwfBanner(std::shared_ptr<const swf::Movie> movie, QLabel* display)
    : display_(display), player_(movie), renderer_(movie)
{
    // Movies ask for 0 to 255 frames a second; a timer ticks no faster than a screen shows.
    const double rate = std::clamp(player_.movie().frameRate, 1.0, 120.0);
    frames_.setInterval(static_cast<int>(std::lround(1000 / rate)));
    frames_.setTimerType(Qt::PreciseTimer);
    connect(&frames_, &QTimer::timeout, this, &SwfBanner::tick);
    display_->window()->installEventFilter(this);
    redraw();
    runTimerIfShown();
}

SwfBanner::~SwfBanner()
{
    if (display_)
        display_->clear();
}

bool SwfBanner::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::WindowStateChange:
    case QEvent::Show:
    case QEvent::Hide: runTimerIfShown(); break;
    default: break;
    }
    return QObject::eventFilter(watched, event);
}

void SwfBanner::runTimerIfShown()
{
    const bool shown = display_ && display_->isVisible() && !display_->window()->isMinimized();
    if (shown && player_.animates())
        frames_.start();
    else
        frames_.stop();
}

void SwfBanner::tick()
{
    if (player_.tick())
        redraw();
}

void SwfBanner::redraw()
{
    if (!display_)
        return;
    const qreal scale = display_->devicePixelRatioF();
    QImage frame = renderer_.renderShowAll(player_, display_->size() * scale);
    frame.setDevicePixelRatio(scale);
    display_->setPixmap(QPixmap::fromImage(std::move(frame)));
}

} // namespace quillmere::platform
