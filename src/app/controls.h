#pragma once

#include <functional>
#include <memory>
#include <string>

#include "app/control_id.h"
#include "base/bytes.h"

namespace quillmere {

namespace platform {
class BannerPlayer;
class EventLoop;
class Timer;
class Transfer;
} // namespace platform

class Control {
public:
    ControlId id() const { return id_; }
    const Geometry& geometry() const { return geometry_; }

protected:
    Control(ControlId id, Geometry geometry, ViewLink& link);
    void changed() const;
    ViewLink& link() const { return link_; }

private:
    ControlId id_;
    Geometry geometry_;
    ViewLink& link_;
};

// A picture; the ones with a tooltip act as buttons. A disabled picture looks the same and
// raises no Click.
class Picture : public Control {
public:
    Picture(ControlId id, Geometry geometry, ViewLink& link, std::string toolTip = {});
    const std::string& toolTip() const { return toolTip_; }
    bool enabled() const { return enabled_; }
    void setEnabled(bool enabled);

private:
    std::string toolTip_;
    bool enabled_ = true;
};

class Label : public Control {
public:
    enum class Sizing { FitsText, Fixed };
    Label(ControlId id, Geometry geometry, ViewLink& link, std::string caption, Sizing sizing);

    const std::string& caption() const { return caption_; }
    void setCaption(std::string caption);
    bool visible() const { return visible_; }
    void setVisible(bool visible);
    const std::string& toolTip() const { return toolTip_; }
    void setToolTip(std::string toolTip);
    Sizing sizing() const { return sizing_; }

private:
    std::string caption_;
    std::string toolTip_;
    bool visible_ = true;
    Sizing sizing_;
};

class Timer {
public:
    Timer(ControlId id, int interval, platform::EventLoop& loop, std::function<void()> onTick);
    ~Timer();
    ControlId id() const { return id_; }
    int interval() const { return interval_; }
    void setInterval(int milliseconds);

private:
    ControlId id_;
    int interval_ = 0;
    std::unique_ptr<platform::Timer> timer_;
};

// An Internet transfer control: remote port 80 unless the address names one, time-out set by
// the transfer behind it.
class Inet {
public:
    Inet(ControlId id, platform::Transfer& transfer) : id_(id), transfer_(transfer) {}
    ControlId id() const { return id_; }
    Bytes OpenURL(const std::string& address);

private:
    ControlId id_;
    platform::Transfer& transfer_;
};

// The banner player's area of the window.
class Banner : public Control {
public:
    Banner(ControlId id, Geometry geometry, ViewLink& link, platform::BannerPlayer& player);
    void LoadMovie(int layer, const std::string& address);
    void Play();

private:
    platform::BannerPlayer& player_;
};

} // namespace quillmere
