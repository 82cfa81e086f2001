#include "app/controls.h"

#include "platform/banner_player.h"
#include "platform/event_loop.h"
#include "platform/transfer.h"

namespace quillmere {

const char* controlName(ControlId id)
{
    static constexpr const char* names[] = {
        "Main",   "Image1", "Image2", "Image3", "Image4", "Image5", "Image6", "Image7", "Label1", "Label2",
        "Label3", "Label4", "List1",  "List2",  "Timer1", "Timer2", "Timer3", "Inet1",  "Inet2",  "flash1",
    };
    return names[static_cast<int>(id)];
}

Control::Control(ControlId id, Geometry geometry, ViewLink& link) : id_(id), geometry_(geometry), link_(link)
{
}

void Control::changed() const
{
    if (link_.view)
        link_.view->controlChanged(id_);
}

Picture::Picture(ControlId id, Geometry geometry, ViewLink& link, std::string toolTip)
    : Control(id, geometry, link), toolTip_(std::move(toolTip))
{
}

void Picture::setEnabled(bool enabled)
{
    if (enabled_ == enabled)
        return;
    enabled_ = enabled;
    changed();
}

Label::Label(ControlId id, Geometry geometry, ViewLink& link, std::string caption, Sizing sizing)
    : Control(id, geometry, link), caption_(std::move(caption)), sizing_(sizing)
{
}

void Label::setCaption(std::string caption)
{
    if (caption_ == caption)
        return;
    caption_ = std::move(caption);
    changed();
}

void Label::setVisible(bool visible)
{
    if (visible_ == visible)
        return;
    visible_ = visible;
    changed();
}

void Label::setToolTip(std::string toolTip)
{
    if (toolTip_ == toolTip)
        return;
    toolTip_ = std::move(toolTip);
    changed();
}

Timer::Timer(ControlId id, int interval, platform::EventLoop& loop, std::function<void()> onTick)
    : id_(id), timer_(loop.createTimer(std::move(onTick)))
{
    setInterval(interval);
}

Timer::~Timer() = default;

void Timer::setInterval(int milliseconds)
{
    interval_ = milliseconds < 0 ? 0 : milliseconds;
    timer_->setInterval(interval_);
}

Bytes Inet::OpenURL(const std::string& address)
{
    return transfer_.fetch(address);
}

Banner::Banner(ControlId id, Geometry geometry, ViewLink& link, platform::BannerPlayer& player)
    : Control(id, geometry, link), player_(player)
{
}

void Banner::LoadMovie(int layer, const std::string& address)
{
    player_.loadMovie(layer, address);
}

void Banner::Play()
{
    player_.play();
}

} // namespace quillmere
