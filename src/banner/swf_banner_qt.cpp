#include "banner/swf_banner_qt.h"

#include <algorithm>
#include <cmath>
#include <iostream>

#include <QEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPixmap>

#include "base/printable.h"
#include "base/web_address.h"
#include "platform/address_opener.h"
#include "swf/limits.h"
#include "toolkit/clicks.h"

namespace quillmere::banner {

SwfBanner::SwfBanner(std::shared_ptr<const swf::Movie> movie, QLabel* display, platform::EventLoop& loop,
                     platform::AddressOpener& opener)
    : display_(display),
      opener_(opener),
      player_(movie, swf::scriptPainter(movie)),
      renderer_(movie),
      // Movies ask for 0 to 255 frames a second; a timer ticks no faster than a screen shows.
      frameInterval_(
          int(std::lround(1000 / std::clamp(player_.movie().frameRate, swf::kMinFrameRate, swf::kMaxFrameRate)))),
      frames_(loop.createTimer([this] { tick(); }))
{
    display_->window()->installEventFilter(this);
    display_->installEventFilter(this);
    display_->setMouseTracking(true);
    redraw();
    runTimerIfShown();
}

SwfBanner::~SwfBanner()
{
    if (display_) {
        display_->clear();
        display_->unsetCursor();
    }
}

bool SwfBanner::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::WindowStateChange:
    case QEvent::Show:
    case QEvent::Hide: runTimerIfShown(); break;
    case QEvent::Leave:
        if (watched == display_)
            pointerMoved({-1, -1});
        break;
    case QEvent::MouseMove:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
        if (watched == display_)
            mouseEvent(*static_cast<QMouseEvent*>(event));
        break;
    default: break;
    }
    return QObject::eventFilter(watched, event);
}

void SwfBanner::mouseEvent(const QMouseEvent& event)
{
    pointerMoved(event.position());
    if (event.button() != Qt::LeftButton)
        return;
    if (toolkit::startsClick(event)) {
        if (player_.pointerPressed())
            redraw();
    } else if (event.type() == QEvent::MouseButtonRelease) {
        const auto address = player_.pointerReleased();
        redraw();
        runTimerIfShown(); // a click may have set a timeline playing
        if (address && isWebAddress(*address))
            opener_.open(*address);
        else if (address)
            std::cerr << "quillmere: banner link not opened, not a web address: " << printable(*address) << '\n';
    }
}

void SwfBanner::pointerMoved(QPointF at)
{
    if (!display_)
        return;
    // Where scripts see the pointer (_xmouse), in the stage's twips.
    const QPointF onStage = renderer_.showAllTransform(display_->size()).inverted().map(at);
    player_.pointerAt(
        {std::int32_t(std::clamp(onStage.x(), -1e8, 1e8)), std::int32_t(std::clamp(onStage.y(), -1e8, 1e8))});
    const bool moved = player_.pointerMoved();
    const std::uint64_t button = renderer_.buttonAt(player_, display_->size(), at);
    if (player_.pointerOver(button) || moved)
        redraw();
    if (player_.showsHand())
        display_->setCursor(Qt::PointingHandCursor);
    else
        display_->unsetCursor();
}

void SwfBanner::runTimerIfShown()
{
    const bool shown = display_ && display_->isVisible() && !display_->window()->isMinimized();
    if (shown && player_.animates())
        frames_->setInterval(frameInterval_);
    else
        frames_->setInterval(0);
}

void SwfBanner::tick()
{
    if (player_.tick())
        redraw();
    if (player_.ignoredAddress() && !reportedFrameAddress_) {
        reportedFrameAddress_ = true;
        std::cerr << "quillmere: the banner asked to open an address without a click; not opened\n";
    }
    for (const std::string& refused : player_.takeRefusals())
        std::cerr << "quillmere: a banner script asked for " << printable(refused)
                  << ", which the banner does not do: nothing was loaded or sent\n";
    if (player_.scriptStopped() && !reportedStoppedScript_) {
        reportedStoppedScript_ = true;
        std::cerr << "quillmere: a banner script was stopped: it ran past the actions a frame may take, or a cap\n";
    }
    if (!player_.animates())
        frames_->setInterval(0); // stopped for good, until a click sets it playing
}

void SwfBanner::redraw()
{
    if (!display_)
        return;
    const qreal scale = display_->devicePixelRatioF();
    const QSize size = display_->size() * scale;
    // Only what changed is drawn again: most frames of a banner move a small part of it.
    const QRect changed = renderer_.changedArea(player_, size);
    if (frame_.size() != size)
        frame_ = renderer_.renderShowAll(player_, size);
    else if (changed.isEmpty())
        return;
    else
        renderer_.redrawShowAll(player_, frame_, changed);
    QImage shown = frame_;
    shown.setDevicePixelRatio(scale);
    display_->setPixmap(QPixmap::fromImage(shown));
}

} // namespace quillmere::banner
