#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>

#include "swf/movie.h"

namespace quillmere::swf {

class TimelinePlayer;

// A character placed on a timeline, as the display list holds it.
struct DisplayObject {
    std::uint16_t characterId = 0;
    const Character* character = nullptr; // null when the movie does not define the id
    Matrix matrix;
    ColorTransform colorTransform;
    std::uint16_t ratio = 0;
    std::optional<std::uint16_t> clipDepth; // a mask for the depths above it, up to this one
    std::shared_ptr<TimelinePlayer> sprite; // a placed sprite's own timeline
};

using DisplayList = std::map<std::uint16_t, DisplayObject>; // by depth, drawn bottom up

// One timeline as it plays: the movie's own, or a placed sprite's. Frames count from 0.
class TimelinePlayer {
public:
    // `nesting` is how deep in sprites this timeline lies; sprites placed beyond the limit
    // stay empty, so that a sprite placing itself ends.
    TimelinePlayer(const Movie& movie, const Timeline& timeline, int nesting);

    const DisplayList& displayList() const { return list_; }
    std::size_t currentFrame() const { return frame_; }
    std::size_t frameCount() const { return timeline_.frames.size(); }

    // Shows the next frame, or the first after the last. Returns whether the display list changed.
    bool nextFrame();
    // Shows `frame` as if played from the start to it: objects that stay keep their state.
    bool gotoFrame(std::size_t frame);

private:
    bool apply(const Frame& frame);
    void place(const Place& place);
    DisplayObject instantiate(std::uint16_t characterId) const;

    const Movie& movie_;
    const Timeline& timeline_;
    int nesting_;
    std::size_t frame_ = 0;
    DisplayList list_;
};

// The movie as it plays: the main timeline, advanced one frame a tick, looping.
class Player {
public:
    explicit Player(std::shared_ptr<const Movie> movie);

    const Movie& movie() const { return *movie_; }
    const TimelinePlayer& root() const { return root_; }
    // Whether a tick can ever change what is shown.
    bool animates() const { return root_.frameCount() > 1; }
    // One frame of time: returns whether what is shown changed.
    bool tick() { return root_.nextFrame(); }

private:
    std::shared_ptr<const Movie> movie_;
    TimelinePlayer root_;
};

} // namespace quillmere::swf
