#pragma once

#include <cstdint>
#include <string>

namespace quillmere::swf::avm1 {

// What a movie's scripts may ask of the player that runs them: its timeline, its clock, and
// addresses, which the player opens only under its own rules.
class Host {
public:
    virtual ~Host() = default;

    virtual void nextFrame() = 0;
    virtual void previousFrame() = 0;
    virtual void play() = 0;
    virtual void stop() = 0;
    // Frames count from 0.
    virtual void gotoFrame(std::uint32_t frame, bool play) = 0;
    virtual void gotoLabel(const std::string& label, bool play) = 0;
    // Runs the actions of a frame, by its number from 1 or its label, where they stand.
    virtual void callFrame(const std::string& /*frame*/) {}
    // Draws the movie at high quality if it was low, or else low.
    virtual void toggleQuality() {}
    virtual void getUrl(const std::string& address, const std::string& target) = 0;
    // Milliseconds since the movie started, on the player's clock.
    virtual double milliseconds() const = 0;
    virtual void trace(const std::string& /*text*/) {}
};

// A host that does nothing and whose clock stands still: for scripts run with no timeline.
class NoHost : public Host {
public:
    void nextFrame() override {}
    void previousFrame() override {}
    void play() override {}
    void stop() override {}
    void gotoFrame(std::uint32_t, bool) override {}
    void gotoLabel(const std::string&, bool) override {}
    void getUrl(const std::string&, const std::string&) override {}
    double milliseconds() const override { return 0; }
};

} // namespace quillmere::swf::avm1
