#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>

#include "swf/avm1/machine.h"
#include "swf/movie.h"

namespace quillmere::swf {

class TimelinePlayer;
struct ButtonInstance;

// A character placed on a timeline, as the display list holds it.
struct DisplayObject {
    std::uint64_t instance = 0; // tells placements apart, for the pointer
    std::uint16_t characterId = 0;
    const Character* character = nullptr; // null when the movie does not define the id
    Matrix matrix;
    ColorTransform colorTransform;
    std::uint16_t ratio = 0;
    std::optional<std::uint16_t> clipDepth; // a mask for the depths above it, up to this one
    // How its picture is changed and laid over what is under it.
    struct Effects {
        std::vector<Filter> filters;
        BlendMode blendMode = BlendMode::Normal;
        bool cacheAsBitmap = false;
        bool visible = true;
        std::optional<Rgba> opaqueBackground;
    } effects;
    std::shared_ptr<TimelinePlayer> sprite; // a placed sprite's own timeline
    std::shared_ptr<ButtonInstance> button; // a placed button's states
    std::shared_ptr<const void> counted;    // held while the object is placed: see PlayContext
};

using DisplayList = std::map<std::uint16_t, DisplayObject>; // by depth, drawn bottom up

struct ButtonInstance {
    Button::State state = Button::Up;
    std::array<DisplayList, 4> states; // what each state shows; HitTest is where it can be clicked
};

// What is shared by every timeline of a movie as it plays.
struct PlayContext {
    const Movie& movie;
    // Runs the movie's scripts; shared with the timelines whose objects it keeps.
    std::shared_ptr<avm1::Machine> machine{};
    double milliseconds = 0;    // played so far, on the player's clock
    bool scriptStopped = false; // a frame's scripts ran past their budget or caps
    std::uint64_t nextInstance = 1;
    // Objects placed now, everywhere: sprites and buttons that hold themselves many times over
    // would otherwise multiply at every level of nesting.
    std::size_t placed = 0;
    // Objects made since the last frame began: ones that replace each other at one depth free
    // their count as they go, so this, not `placed`, bounds the work of one frame.
    std::size_t made = 0;
    // Addresses asked for by actions: opened only when a click of the user ran them.
    std::optional<std::string> requestedAddress{};
    bool ignoredAddress = false; // a frame action asked for one without a click
    bool userEvent = false;
};

// One timeline as it plays: the movie's own, or a placed sprite's. Frames count from 0.
class TimelinePlayer {
public:
    // `nesting` is how deep in sprites this timeline lies; sprites placed beyond the limit
    // stay empty, so that a sprite placing itself ends.
    TimelinePlayer(PlayContext& context, const Timeline& timeline, int nesting);
    ~TimelinePlayer();
    TimelinePlayer(const TimelinePlayer&) = delete;
    TimelinePlayer& operator=(const TimelinePlayer&) = delete;

    const DisplayList& displayList() const { return list_; }
    std::size_t currentFrame() const { return frame_; }
    std::size_t frameCount() const { return timeline_.frames.size(); }
    bool playing() const { return playing_; }
    // Whether a tick can change anything here or below.
    bool animates() const;

    // One frame of time: the next frame when playing (the first after the last), its actions,
    // then the same for every sprite that was already there. `advance` false only runs what is
    // waiting (a new timeline's first frame). Returns whether the display list changed.
    bool tick(bool advance);
    // Runs actions with this timeline as their target.
    void run(const ActionList& actions);
    // What the scripts ask of this timeline.
    class Host;

    // The button with this instance id, and the timeline it lies in; null when gone.
    std::pair<DisplayObject*, TimelinePlayer*> findButton(std::uint64_t instance);

private:
    // Shows `frame` as if played from the start to it: objects that stay keep their state.
    void gotoFrame(std::size_t frame);
    void apply(const Frame& frame);
    void place(const Place& place);
    DisplayObject instantiate(std::uint16_t characterId, int nesting);
    void runWaitingActions();

    PlayContext& context_;
    const Timeline& timeline_;
    int nesting_;
    std::size_t frame_ = 0;
    bool playing_ = true;
    bool actionsWaiting_ = false; // the actions of the frame just entered have not run yet
    std::uint64_t changes_ = 0;   // counts changes of the display list
    DisplayList list_;
    // This timeline's object for its scripts, made when they first run.
    std::shared_ptr<avm1::Machine> machine_;
    avm1::Object* clip_ = nullptr;
};

// The movie as it plays: the main timeline and every sprite's, one frame a tick, looping unless
// actions stop them; buttons follow the pointer.
class Player {
public:
    explicit Player(std::shared_ptr<const Movie> movie);

    const Movie& movie() const { return *movie_; }
    const TimelinePlayer& root() const { return *root_; }
    bool animates() const { return root_->animates(); }
    // One frame of time: returns whether what is shown changed.
    bool tick();
    // Whether a frame action asked for an address, which a player opens only for a click.
    bool ignoredAddress() const { return context_.ignoredAddress; }
    // Whether a frame's scripts were stopped: past the actions of a frame, or a cap.
    bool scriptStopped() const { return context_.scriptStopped; }

    // The pointer is over the button with this instance id (0: over none). Returns whether a
    // button changed its state.
    bool pointerOver(std::uint64_t button);
    bool pointerPressed();
    // The click ends: the address its actions ask for, if any.
    std::optional<std::string> pointerReleased();
    std::uint64_t buttonUnderPointer() const { return hovered_; }

private:
    bool setState(std::uint64_t button, Button::State state);
    void runButtonActions(std::uint64_t button, bool release);

    std::shared_ptr<const Movie> movie_;
    PlayContext context_;
    std::unique_ptr<TimelinePlayer> root_;
    std::uint64_t hovered_ = 0;
    std::uint64_t pressed_ = 0;
    std::optional<std::string> clickAddress_;
};

} // namespace quillmere::swf
