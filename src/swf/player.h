#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <limits>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "swf/avm1/machine.h"
#include "swf/geometry.h"
#include "swf/movie.h"

namespace quillmere::swf {

class TimelinePlayer;
struct ButtonInstance;
class ScriptPainter;

// A character placed on a timeline, as the display list holds it.
struct DisplayObject {
    std::uint64_t instance = 0; // tells placements apart, for the pointer
    std::uint16_t characterId = 0;
    const Character* character = nullptr;            // null when the movie does not define the id
    std::shared_ptr<const Character> made;           // what `character` points to when a script made it
    std::string name;                                // its instance name, by which scripts find it
    const std::vector<ClipAction>* events = nullptr; // a sprite's scripts for its events
    // Placed by a script, which alone removes it: the timeline's frames leave it where it is.
    bool dynamic = false;
    // Moved by a script: the timeline's frames no longer move it.
    bool scripted = false;
    // A sprite's view of what it holds, set by scripts: the children are moved by minus its
    // corner, and cut to its size (twips).
    std::optional<Box> scrollRect;
    // A sprite's nine-slice grid (twips): scaled, its shapes keep their corners' size.
    std::optional<Box> scalingGrid;
    // The sprite whose picture is this one's mask, set by scripts; the mask itself is not drawn.
    std::weak_ptr<const TimelinePlayer> maskedBy;
    bool isMask = false;
    // The sprite whose fills take the pointer for this one, set by scripts.
    std::weak_ptr<const TimelinePlayer> hitArea;
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
    // A text field's or a button's object for scripts, kept while placed.
    std::shared_ptr<avm1::Object> scriptObject;
    std::shared_ptr<const void> counted; // held while the object is placed: see PlayContext
};

// By depth, drawn bottom up. The frames place from 1 to 65535; scripts from -16384 up, counted
// here from 0 (their 0 is kScriptDepths).
using DisplayList = std::map<std::int32_t, DisplayObject>;
inline constexpr std::int32_t kScriptDepths = 16384;
// Where a sprite's drawing lies: under all it holds.
inline constexpr std::int32_t kDrawingDepth = std::numeric_limits<std::int32_t>::min();

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
    // How well the movie asks to be drawn: low is without smoothing, edges or bitmaps.
    enum class Quality : std::uint8_t { Low, Medium, High, Best } quality = Quality::High;
    // A quality's name as scripts read it, "LOW" to "BEST"; and the quality a name in any case
    // gives, none for any other.
    static const char* nameOf(Quality quality);
    static std::optional<Quality> qualityNamed(std::string_view name);
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
    bool scriptChanged = false; // a script changed what is shown since the last tick
    // Objects removed from the stage while scripts may still be running in them: told they are
    // gone, and freed, at the next tick.
    std::vector<DisplayObject> discarded{};
    std::set<const avm1::Code*> initialized{};            // init actions run once
    std::vector<std::weak_ptr<TimelinePlayer>> redrawn{}; // drawings changed since last shown
    Point pointer{};                                      // on the stage, in twips
    // The clip a script has follow the pointer, kept at `offset` from it (twips of its parent),
    // within `bounds` when given.
    struct Drag {
        std::weak_ptr<TimelinePlayer> clip;
        std::pair<double, double> offset;
        std::optional<Box> bounds;
    };
    std::optional<Drag> drag{};
    // Paints scripts' bitmaps; none where nothing is drawn.
    std::shared_ptr<ScriptPainter> painter{};
    // Pixels scripts may still have painted this frame: past them, the scripts stop, so that a
    // script painting large bitmaps over and over costs a bounded time a frame.
    std::size_t pixelsToPaint = 0;
    // What the scripts' drawings hold altogether.
    std::shared_ptr<std::size_t> drawnParts = std::make_shared<std::size_t>(0);
};
inline constexpr std::size_t kMostPixelsPaintedAFrame = std::size_t(1) << 24;

// One timeline as it plays: the movie's own, or a placed sprite's. Frames count from 0.
class TimelinePlayer : public std::enable_shared_from_this<TimelinePlayer> {
public:
    // `nesting` is how deep in sprites this timeline lies; sprites placed beyond the limit
    // stay empty, so that a sprite placing itself ends. `parent` holds it in its display list.
    TimelinePlayer(PlayContext& context, const Timeline& timeline, int nesting, TimelinePlayer* parent = nullptr);
    ~TimelinePlayer();
    TimelinePlayer(const TimelinePlayer&) = delete;
    TimelinePlayer& operator=(const TimelinePlayer&) = delete;

    const DisplayList& displayList() const { return list_; }
    std::size_t currentFrame() const { return frame_; }
    std::size_t frameCount() const { return timeline_.frames.size(); }
    bool playing() const { return playing_; }
    // Whether a tick can change anything here or below.
    bool animates() const;
    // Whether its scripts run on every frame.
    bool handlesEnterFrame() const;
    // Whether its scripts handle the pointer: it is pressed and released as a button is.
    bool handlesPointer() const;

    // One frame of time: the next frame when playing (the first after the last), its actions,
    // then the same for every sprite that was already there. `advance` false only runs what is
    // waiting (a new timeline's first frame). Returns whether the display list changed.
    bool tick(bool advance);
    // Runs actions with this timeline as their target.
    void run(const ActionList& actions);
    // This timeline as its scripts see it.
    class ScriptClip;
    // A sprite's drawing, made by its scripts; null when it has none.
    const Shape* drawing() const;
    // Where this sprite lies in its parent's list (null for the main timeline, or when gone),
    // and the matrix from its parent's twips to the stage's.
    const DisplayObject* placed() const { return const_cast<TimelinePlayer*>(this)->placement(); }
    Matrix parentToStage() const;
    ScriptClip* script() const { return script_.get(); }

    // The character the movie exports by this name for scripts to attach.
    std::optional<std::uint16_t> exported(const std::string& name) const;
    // Runs the constructor of the class registered for its symbol, once: when it first plays,
    // or at once when a script attaches it.
    void construct();
    std::size_t movieBytes() const { return context_.movie.bytes; }
    const Movie& movie() const { return context_.movie; }

    // The button, or the clip that handles the pointer, with this instance id, and the timeline
    // it lies in; null when gone.
    std::pair<DisplayObject*, std::shared_ptr<TimelinePlayer>> findButton(std::uint64_t instance);

private:
    friend class Player;
    // Shows `frame` as if played from the start to it: objects that stay keep their state.
    void gotoFrame(std::size_t frame);
    void apply(const Frame& frame);
    void place(const Place& place);
    DisplayObject instantiate(std::uint16_t characterId, int nesting);
    // Makes its object of the class registered for a name its symbol is exported by, and gives
    // that class; null when there is none.
    avm1::Function* adoptClass();
    void runWaitingActions();
    void runOn(avm1::Object* target, const ActionList& actions);
    // Whether its clip actions handle any of `events`, or its object has one of the methods.
    bool handles(std::uint32_t events, std::initializer_list<const char*> handlers) const;
    // Runs the handlers of `events` of the clip actions, then the method `handler`, if any.
    void runEvent(std::uint32_t events, std::string_view handler);
    // The depths of the children named `lower`, a name in lower case, lowest first.
    const std::vector<std::int32_t>& depthsNamed(const std::string& lower);
    // Off the stage now: runs its unload events, then its onUnload method.
    void unload(const std::vector<ClipAction>* events);
    // Its sprites as they are now: held, as scripts run in them may change the list.
    std::vector<std::shared_ptr<TimelinePlayer>> sprites() const;
    // runEvent here and in every clip within, as the pointer's events reach clips wherever it is.
    void runEverywhere(std::uint32_t events, std::string_view handler);
    // Takes an object off the display list: scripts running in it finish, and it goes at the
    // next tick.
    void discard(DisplayObject&& object);
    // Where this sprite lies in its parent's list: null for the main timeline, or when gone.
    DisplayObject* placement();
    // Shows what its drawing holds now.
    void refreshDrawing();
    // Shows in its fields and its sprites' the variables they name.
    void showVariables();

    PlayContext& context_;
    const Timeline& timeline_;
    int nesting_;
    std::size_t frame_ = 0;
    bool playing_ = true;
    bool actionsWaiting_ = false; // the actions of the frame just entered have not run yet
    bool loaded_ = false;         // its first frame has run, and its load event
    std::uint64_t changes_ = 0;   // counts changes of the display list
    DisplayList list_;
    // The depths of its children by their names in lower case, lowest first: made again once a
    // child comes, goes, moves to another depth or takes another name.
    std::unordered_map<std::string, std::vector<std::int32_t>> names_;
    bool namesStale_ = true;
    TimelinePlayer* parent_ = nullptr;
    std::int32_t depth_ = 0; // in the parent's list
    // This timeline's object for its scripts.
    std::shared_ptr<avm1::Machine> machine_;
    avm1::Object* object_ = nullptr;
    std::unique_ptr<ScriptClip> script_;
    std::uint16_t symbol_ = 0; // the sprite's character
    bool constructed_ = false;
};

// The movie as it plays: the main timeline and every sprite's, one frame a tick, looping unless
// actions stop them; buttons follow the pointer.
class Player {
public:
    // `quality` is the one the movie starts in, as the page around a movie may ask for.
    explicit Player(std::shared_ptr<const Movie> movie, std::shared_ptr<ScriptPainter> painter = nullptr,
                    PlayContext::Quality quality = PlayContext::Quality::High);

    const Movie& movie() const { return *movie_; }
    const TimelinePlayer& root() const { return *root_; }
    bool animates() const { return root_->animates() || context_.machine->hasTimers(); }
    // What the movie's scripts asked for that this player does not do, each once: taken as read.
    std::vector<std::string> takeRefusals() { return context_.machine->takeNotices(); }
    // A variable of the main timeline, as its scripts left it.
    avm1::Value variable(std::string_view name) { return context_.machine->variable(name); }
    // One frame of time: returns whether what is shown changed.
    bool tick();
    // Whether a frame action asked for an address, which a player opens only for a click.
    bool ignoredAddress() const { return context_.ignoredAddress; }
    // Whether a frame's scripts were stopped: past the actions of a frame, or a cap.
    bool scriptStopped() const { return context_.scriptStopped; }
    PlayContext::Quality quality() const { return context_.quality; }

    // The pointer is over the button with this instance id (0: over none). Returns whether
    // what is shown changed.
    bool pointerOver(std::uint64_t button);
    // The pointer moved on the stage, to where pointerAt last put it: clips' mouse events and
    // Mouse's listeners hear of it, as they hear of every press and release. Returns whether
    // their scripts changed what is shown.
    bool pointerMoved();
    bool pointerPressed();
    // The click ends: the address its actions ask for, if any.
    std::optional<std::string> pointerReleased();
    std::uint64_t buttonUnderPointer() const { return hovered_; }
    // Whether the pointer shows a hand: over a button, unless its script asked for none.
    bool showsHand() { return hovered_ && flag(hovered_, "useHandCursor"); }
    // Where the pointer is on the stage, in twips, for scripts to read.
    void pointerAt(Point onStage) { context_.pointer = onStage; }

private:
    // The pointer's `event` on a button, or on a clip that handles the pointer: runs what the
    // movie and its scripts give for it, and shows a button in state `shown`. Returns whether
    // what is shown changed.
    bool transition(std::uint64_t button, std::uint32_t event, Button::State shown);
    // The button's `enabled` or `useHandCursor`: true unless a script set it to false.
    bool flag(std::uint64_t button, std::string_view name);
    // Shows what scripts drew since last time, and the variables fields show.
    void showDrawings();
    // Runs what the user's pointer set off: one address at the most is kept for a click, and
    // none is for a move.
    void runUserEvent(const std::function<void()>& scripts, bool click = true);
    // A mouse event of every clip, then the method `handler` of Mouse's listeners.
    void runMouseEvent(std::uint32_t event, std::string_view handler, bool click);
    // The handler `name` of a button's object, if a script gave it one. The object is held:
    // the button's own actions may have taken it off the stage.
    void runButtonHandler(std::shared_ptr<avm1::Object> button, TimelinePlayer& timeline, std::string_view name);

    std::shared_ptr<const Movie> movie_;
    PlayContext context_;
    std::shared_ptr<TimelinePlayer> root_;
    std::optional<Point> movedTo_; // where the pointer was when clips last heard it move
    std::uint64_t hovered_ = 0;
    std::uint64_t pressed_ = 0;
    bool down_ = false; // the pointer's button is held
    std::optional<std::string> clickAddress_;
};

} // namespace quillmere::swf
