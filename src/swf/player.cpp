#include "swf/player.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <set>
#include <utility>

#include "swf/avm1/natives.h"
#include "swf/avm1/strings.h"
#include "swf/limits.h"
#include "swf/script_clip.h"

namespace quillmere::swf {

namespace {

// A goto from an action runs the actions of the frame it lands on in the same tick, once; a
// further goto from those waits for the next tick, so that frames jumping to each other cost a
// frame a tick, never a busy loop.
constexpr int kActionRunsPerTick = 2;
// Scripts' random numbers: the same from one showing of a movie to the next.
constexpr std::uint32_t kRandomSeed = 20261208;

} // namespace

TimelinePlayer::TimelinePlayer(PlayContext& context, const Timeline& timeline, int nesting, TimelinePlayer* parent)
    : context_(context), timeline_(timeline), nesting_(nesting), parent_(parent)
{
    if (context_.machine) {
        machine_ = context_.machine;
        object_ = parent_ ? machine_->makeClip() : machine_->root();
        if (object_) {
            script_ = std::make_unique<ScriptClip>(*this);
            object_->clip = script_.get();
        }
    }
    apply(timeline_.frames.front());
    actionsWaiting_ = !timeline_.frames.front().actions.empty() || !timeline_.frames.front().initActions.empty();
}

TimelinePlayer::~TimelinePlayer()
{
    if (!object_)
        return;
    object_->clip = nullptr;
    if (parent_)
        machine_->release(object_);
}

bool TimelinePlayer::handles(std::uint32_t events, std::initializer_list<const char*> handlers) const
{
    if (!object_ || !object_->clip)
        return false;
    if (const DisplayObject* shown = placed(); shown && shown->events)
        for (const ClipAction& action : *shown->events)
            if (action.events & events)
                return true;
    return std::any_of(handlers.begin(), handlers.end(),
                       [this](const char* handler) { return machine_->hasMethod(object_, handler); });
}

bool TimelinePlayer::handlesEnterFrame() const
{
    return handles(ClipAction::EnterFrame, {"onEnterFrame"});
}

bool TimelinePlayer::handlesPointer() const
{
    return handles(ClipAction::Press | ClipAction::Release | ClipAction::ReleaseOutside | ClipAction::RollOver
                       | ClipAction::RollOut | ClipAction::DragOver | ClipAction::DragOut,
                   {"onPress", "onRelease", "onReleaseOutside", "onRollOver", "onRollOut", "onDragOver", "onDragOut"});
}

const Shape* TimelinePlayer::drawing() const
{
    const auto found = list_.find(kDrawingDepth);
    return found != list_.end() ? std::get_if<Shape>(found->second.character) : nullptr;
}

DisplayObject* TimelinePlayer::placement()
{
    if (!parent_)
        return nullptr;
    const auto found = parent_->list_.find(depth_);
    return found != parent_->list_.end() && found->second.sprite.get() == this ? &found->second : nullptr;
}

void TimelinePlayer::discard(DisplayObject&& object)
{
    namesStale_ = true;
    if (object.sprite && object.sprite->object_)
        object.sprite->object_->clip = nullptr; // scripts that hold it reach a plain object now
    context_.discarded.push_back(std::move(object));
}

bool TimelinePlayer::animates() const
{
    if (actionsWaiting_ || (playing_ && frameCount() > 1) || handlesEnterFrame())
        return true;
    return std::any_of(list_.begin(), list_.end(),
                       [](const auto& entry) { return entry.second.sprite && entry.second.sprite->animates(); });
}

DisplayObject TimelinePlayer::instantiate(std::uint16_t characterId, int nesting)
{
    static const Character emptySprite = Sprite{Timeline{{Frame{}}, {}}};
    DisplayObject object;
    object.instance = context_.nextInstance++;
    object.characterId = characterId;
    if (context_.placed >= kMaxDisplayObjects || context_.made >= kMaxObjectsMadeInAFrame)
        return object; // placed, but nothing to show
    // Id 0 is no character's: scripts make empty clips with it.
    object.character = characterId ? context_.movie.character(characterId) : &emptySprite;
    ++context_.placed;
    ++context_.made;
    object.counted = std::shared_ptr<const void>(nullptr, [&placed = context_.placed](const void*) { --placed; });
    if (!object.character || nesting + 1 >= kMaxSpriteNesting)
        return object;
    if (const auto* sprite = std::get_if<Sprite>(object.character)) {
        object.sprite = std::make_shared<TimelinePlayer>(context_, sprite->timeline, nesting + 1, this);
        object.sprite->symbol_ = characterId;
        object.sprite->adoptClass();
        if (const auto grid = context_.movie.scalingGrids.find(characterId); grid != context_.movie.scalingGrids.end())
            object.scalingGrid = Box{double(grid->second.xMin), double(grid->second.yMin), double(grid->second.xMax),
                                     double(grid->second.yMax)};
    } else if (const auto* button = std::get_if<Button>(object.character)) {
        object.button = std::make_shared<ButtonInstance>();
        for (const Button::Record& record : button->records)
            for (int state = Button::Up; state <= Button::HitTest; ++state)
                if (record.states & (1 << state)) {
                    DisplayObject shown = instantiate(record.characterId, nesting + 1);
                    shown.matrix = record.matrix;
                    shown.colorTransform = record.colorTransform;
                    shown.effects.filters = record.filters;
                    shown.effects.blendMode = record.blendMode;
                    object.button->states[std::size_t(state)].insert_or_assign(record.depth, std::move(shown));
                }
    }
    return object;
}

void TimelinePlayer::place(const Place& place)
{
    auto found = list_.find(place.depth);
    if (!place.move || found == list_.end()) {
        // A new placement needs a character; one at an occupied depth replaces what was there.
        if (!place.characterId)
            return;
        if (found != list_.end())
            discard(std::move(found->second));
        found = list_.insert_or_assign(place.depth, instantiate(*place.characterId, nesting_)).first;
        namesStale_ = true;
        if (found->second.sprite)
            found->second.sprite->depth_ = place.depth;
        found->second.events = &place.clipActions;
    } else if (place.characterId && *place.characterId != found->second.characterId) {
        DisplayObject replaced = instantiate(*place.characterId, nesting_);
        if (replaced.sprite)
            replaced.sprite->depth_ = place.depth;
        replaced.name = found->second.name;
        replaced.matrix = found->second.matrix;
        replaced.colorTransform = found->second.colorTransform;
        replaced.ratio = found->second.ratio;
        replaced.clipDepth = found->second.clipDepth;
        replaced.effects = found->second.effects;
        discard(std::exchange(found->second, std::move(replaced)));
    }
    DisplayObject& object = found->second;
    if (place.name) {
        object.name = *place.name;
        namesStale_ = true;
    }
    if (object.scripted)
        return; // a script moved it, and the frames leave it be
    // A placement changes only what it gives.
    const auto take = []<typename T>(T& field, const std::optional<T>& given) {
        if (given)
            field = *given;
    };
    take(object.matrix, place.matrix);
    take(object.colorTransform, place.colorTransform);
    take(object.ratio, place.ratio);
    // A clip depth at or below the object's own depth has nothing to clip: players draw the
    // object as it is.
    if (place.clipDepth && *place.clipDepth > place.depth)
        object.clipDepth = *place.clipDepth;
    DisplayObject::Effects& effects = object.effects;
    take(effects.filters, place.filters);
    take(effects.blendMode, place.blendMode);
    take(effects.cacheAsBitmap, place.cacheAsBitmap);
    take(effects.visible, place.visible);
    if (place.opaqueBackground)
        effects.opaqueBackground = place.opaqueBackground;
}

void TimelinePlayer::apply(const Frame& frame)
{
    for (const auto& command : frame.commands) {
        if (const auto* placed = std::get_if<Place>(&command)) {
            place(*placed);
        } else if (const auto found = list_.find(std::get<Remove>(command).depth); found != list_.end()) {
            discard(std::move(found->second));
            list_.erase(found);
        }
    }
    changes_ += frame.commands.empty() ? 0 : 1;
}

void TimelinePlayer::gotoFrame(std::size_t frame)
{
    frame = std::min(frame, frameCount() - 1);
    if (frame == frame_)
        return;
    if (frame > frame_) {
        while (frame_ < frame)
            apply(timeline_.frames[++frame_]);
    } else {
        // Backwards: the display list the frames up to `frame` build, keeping each object that
        // is still there with the same character, so that a looping movie's sprites play on.
        PlayContext scratch{context_.movie};
        TimelinePlayer replay(scratch, timeline_, kMaxSpriteNesting); // places, creates nothing
        while (replay.frame_ < frame)
            replay.apply(timeline_.frames[++replay.frame_]);
        DisplayList rebuilt;
        for (auto& [depth, wanted] : replay.list_) {
            auto kept = list_.find(depth);
            const bool keep
                = kept != list_.end() && !kept->second.dynamic && kept->second.characterId == wanted.characterId;
            DisplayObject object = keep ? std::exchange(kept->second, {}) : instantiate(wanted.characterId, nesting_);
            if (object.sprite)
                object.sprite->depth_ = depth;
            object.name = wanted.name;
            object.events = wanted.events;
            if (!object.scripted) {
                object.matrix = wanted.matrix;
                object.colorTransform = wanted.colorTransform;
            }
            object.ratio = wanted.ratio;
            object.clipDepth = wanted.clipDepth;
            rebuilt.emplace(depth, std::move(object));
        }
        // What scripts placed stays until they remove it, or a frame places something at its
        // depth: then it goes as removed ones do, since scripts may still be running in it.
        for (auto& [depth, object] : list_) {
            if (object.dynamic && rebuilt.try_emplace(depth, std::move(object)).second)
                continue;
            if (object.character)
                discard(std::move(object));
        }
        list_ = std::move(rebuilt);
        namesStale_ = true;
        frame_ = frame;
        ++changes_;
    }
    actionsWaiting_ = !timeline_.frames[frame_].actions.empty() || !timeline_.frames[frame_].initActions.empty();
}

void TimelinePlayer::runWaitingActions()
{
    for (int runs = 0; runs < kActionRunsPerTick && actionsWaiting_; ++runs) {
        actionsWaiting_ = false;
        const Frame& frame = timeline_.frames[frame_];
        for (const ActionList& actions : frame.initActions)
            if (context_.initialized.insert(actions.get()).second && machine_)
                runOn(machine_->root(), actions);
        // The clips the frame placed are made before its actions run, which may call their methods.
        std::vector<std::shared_ptr<TimelinePlayer>> placed;
        for (const auto& [depth, object] : list_)
            if (object.sprite && !object.sprite->constructed_)
                placed.push_back(object.sprite);
        for (const auto& sprite : placed)
            sprite->construct();
        for (const ActionList& actions : frame.actions)
            run(actions); // a goto among them leaves this frame's own lists to run on
    }
}

void TimelinePlayer::runEvent(std::uint32_t events, std::string_view handler)
{
    if (!machine_ || !object_ || !object_->clip)
        return;
    if (const DisplayObject* placed = placement(); placed && placed->events)
        for (const ClipAction& action : *placed->events)
            if (action.events & events)
                run(action.actions);
    if (!handler.empty() && object_->clip) {
        const auto self = shared_from_this(); // the handler may remove this clip
        if (machine_->callMethod(object_, handler, *script_) != avm1::Machine::Ending::Finished)
            context_.scriptStopped = true;
    }
}

const std::vector<std::int32_t>& TimelinePlayer::depthsNamed(const std::string& lower)
{
    if (namesStale_) {
        if (machine_)
            machine_->chargeSearch(list_.size());
        names_.clear();
        for (const auto& [depth, object] : list_)
            if (!object.name.empty())
                names_[avm1::lowerCase(object.name)].push_back(depth);
        namesStale_ = false;
    }
    static const std::vector<std::int32_t> none;
    const auto found = names_.find(lower);
    return found != names_.end() ? found->second : none;
}

void TimelinePlayer::unload(const std::vector<ClipAction>* events)
{
    if (!machine_ || !object_ || !script_)
        return;
    const auto self = shared_from_this();
    if (events)
        for (const ClipAction& action : *events)
            if (action.events & ClipAction::Unload)
                runOn(object_, action.actions);
    if (machine_->callMethod(object_, "onUnload", *script_) != avm1::Machine::Ending::Finished)
        context_.scriptStopped = true;
    // The clips within went with it.
    for (const auto& child : sprites())
        if (const DisplayObject* placed = child->placement())
            child->unload(placed->events);
}

std::vector<std::shared_ptr<TimelinePlayer>> TimelinePlayer::sprites() const
{
    std::vector<std::shared_ptr<TimelinePlayer>> sprites;
    for (const auto& [depth, object] : list_)
        if (object.sprite)
            sprites.push_back(object.sprite);
    return sprites;
}

void TimelinePlayer::runEverywhere(std::uint32_t events, std::string_view handler)
{
    runEvent(events, handler);
    for (const auto& sprite : sprites())
        sprite->runEverywhere(events, handler);
}

bool TimelinePlayer::tick(bool advance)
{
    std::set<const TimelinePlayer*> before;
    for (const auto& [depth, object] : list_)
        if (object.sprite)
            before.insert(object.sprite.get());
    const std::uint64_t changesBefore = changes_;
    if (advance) // a clip placed in this tick has its load instead
        runEvent(ClipAction::EnterFrame, "onEnterFrame");
    if (advance && !actionsWaiting_ && playing_ && frameCount() > 1)
        gotoFrame(frame_ + 1 < frameCount() ? frame_ + 1 : 0);
    const bool loading = !loaded_;
    loaded_ = true;
    if (loading)
        construct();
    runWaitingActions();
    if (loading)
        runEvent(ClipAction::Load, "onLoad");
    bool changed = changes_ != changesBefore;
    // The sprites: those that were here play on; those just placed run their first frame.
    for (const auto& sprite : sprites())
        changed |= sprite->tick(advance && before.count(sprite.get()));
    return changed;
}

void TimelinePlayer::run(const ActionList& actions)
{
    runOn(object_, actions);
}

void TimelinePlayer::runOn(avm1::Object* target, const ActionList& actions)
{
    if (!machine_ || !target || !script_)
        return;
    const auto self = shared_from_this(); // its scripts may remove this timeline
    if (machine_->run(actions, *script_, target) != avm1::Machine::Ending::Finished)
        context_.scriptStopped = true;
}

std::optional<std::uint16_t> TimelinePlayer::exported(const std::string& name) const
{
    const auto& exports = context_.movie.exports;
    if (const auto found = exports.find(name); found != exports.end())
        return found->second;
    // Names are found whatever their case, as scripts of every version do.
    for (const auto& [exportedName, id] : exports)
        if (avm1::lowerCase(exportedName) == avm1::lowerCase(name))
            return id;
    return std::nullopt;
}

avm1::Function* TimelinePlayer::adoptClass()
{
    if (!machine_ || !object_ || !symbol_ || !machine_->anyRegisteredClass())
        return nullptr;
    // The class's prototype as it holds it, never through a getter: this runs while a frame
    // places its objects, where no script may run.
    for (const auto& [name, id] : context_.movie.exports)
        if (id == symbol_)
            if (avm1::Function* type = machine_->registeredClass(name))
                if (const avm1::Property* own = type->own(machine_->key("prototype")); own && !own->getter)
                    if (avm1::Object* prototype = avm1::objectIn(own->value)) {
                        object_->prototype = prototype;
                        return type;
                    }
    return nullptr;
}

void TimelinePlayer::construct()
{
    if (std::exchange(constructed_, true) || !script_)
        return;
    // Registered by now, if by the init actions of the frame that placed it.
    avm1::Function* type = adoptClass();
    const auto self = shared_from_this(); // the handlers and the constructor may remove this clip
    runEvent(ClipAction::Construct | ClipAction::Initialize, {}); // a component's parameters, for its class
    if (type && object_->clip && machine_->construct(object_, type, *script_) != avm1::Machine::Ending::Finished)
        context_.scriptStopped = true;
}

std::pair<DisplayObject*, std::shared_ptr<TimelinePlayer>> TimelinePlayer::findButton(std::uint64_t instance)
{
    for (auto& [depth, object] : list_) {
        if (object.instance == instance && (object.button || (object.sprite && object.sprite->handlesPointer())))
            return {&object, shared_from_this()};
        if (object.sprite)
            if (auto found = object.sprite->findButton(instance); found.first)
                return found;
    }
    return {nullptr, nullptr};
}

namespace {
constexpr const char* kQualities[] = {"LOW", "MEDIUM", "HIGH", "BEST"};
} // namespace

const char* PlayContext::nameOf(Quality quality)
{
    return kQualities[std::size_t(quality)];
}

std::optional<PlayContext::Quality> PlayContext::qualityNamed(std::string_view name)
{
    for (std::size_t i = 0; i < std::size(kQualities); ++i)
        if (avm1::sameInLowerCase(name, avm1::lowerCase(kQualities[i])))
            return Quality(i);
    return std::nullopt;
}

Player::Player(std::shared_ptr<const Movie> movie, std::shared_ptr<ScriptPainter> painter, PlayContext::Quality quality)
    : movie_(std::move(movie)), context_{*movie_}
{
    context_.painter = std::move(painter);
    context_.quality = quality;
    context_.pixelsToPaint = kMostPixelsPaintedAFrame;
    context_.machine = std::make_shared<avm1::Machine>(movie_->version, kRandomSeed);
    avm1::Machine& machine = *context_.machine;
    installClipMethods(machine);
    installColorClass(machine);
    installBitmapDataClass(machine);
    installTextFieldClass(machine);
    installFilterClasses(machine);
    installTransformClass(machine);
    installSoundClass(machine);
    machine.setEpoch(double(
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::system_clock::now().time_since_epoch())
            .count()));
    avm1::Object* stage = machine.makeObject(machine.objectPrototype());
    machine.global()->put(machine.key("Stage"), avm1::Value(stage), avm1::Property::DontEnum);
    machine.setMember(stage, "width", movie_->stage.width() / kTwipsPerPixel);
    machine.setMember(stage, "height", movie_->stage.height() / kTwipsPerPixel);
    machine.setMember(stage, "scaleMode", std::string("showAll"));
    machine.setMember(stage, "align", std::string());
    machine.setMember(stage, "showMenu", true);
    machine.makeBroadcaster(stage); // its listeners hear of no resize: the banner keeps its size
    root_ = std::make_shared<TimelinePlayer>(context_, movie_->timeline, 0);
    root_->tick(false);
    showDrawings();
    context_.scriptChanged = false;
}

void TimelinePlayer::showVariables()
{
    if (script_)
        swf::showVariables(*script_);
    for (const auto& sprite : sprites())
        sprite->showVariables();
}

void Player::showDrawings()
{
    if (context_.machine)
        root_->showVariables();
    for (const std::weak_ptr<TimelinePlayer>& drawn : std::exchange(context_.redrawn, {}))
        if (const std::shared_ptr<TimelinePlayer> timeline = drawn.lock())
            timeline->refreshDrawing();
}

bool Player::tick()
{
    context_.made = 0;
    context_.pixelsToPaint = kMostPixelsPaintedAFrame;
    context_.machine->startFrame();
    // What left the stage since the last frame hears of it before this frame's scripts run.
    for (const DisplayObject& gone : std::exchange(context_.discarded, {}))
        if (gone.sprite)
            gone.sprite->unload(gone.events);
    context_.milliseconds += 1000 / std::clamp(movie_->frameRate, kMinFrameRate, kMaxFrameRate);
    bool changed = root_->tick(true);
    if (context_.machine->hasTimers() && root_->script_)
        if (context_.machine->runTimers(*root_->script_) == avm1::Machine::Ending::OverBudget)
            context_.scriptStopped = true;
    showDrawings();
    return std::exchange(context_.scriptChanged, false) || changed;
}

namespace {

std::string_view handlerOf(std::uint32_t event)
{
    switch (event) {
    case ClipAction::Press: return "onPress";
    case ClipAction::Release: return "onRelease";
    case ClipAction::ReleaseOutside: return "onReleaseOutside";
    case ClipAction::RollOver: return "onRollOver";
    case ClipAction::RollOut: return "onRollOut";
    case ClipAction::DragOver: return "onDragOver";
    case ClipAction::DragOut: return "onDragOut";
    default: return {};
    }
}

} // namespace

bool Player::transition(std::uint64_t button, std::uint32_t event, Button::State shown)
{
    auto [object, timeline] = root_->findButton(button);
    if (!object)
        return false;
    // Only a press and its release on the same button make a click, which may open an address.
    const bool click = event == ClipAction::Press || event == ClipAction::Release;
    bool changed = false;
    if (object->sprite) {
        runUserEvent([&, sprite = object->sprite] { sprite->runEvent(event, handlerOf(event)); }, click);
    } else if (object->button) {
        changed = std::exchange(object->button->state, shown) != shown;
        const Button& definition = std::get<Button>(*object->character); // the movie's: outlives the event
        runUserEvent(
            [&, handlers = object->scriptObject, owner = timeline] {
                for (const Button::Condition& condition : definition.conditions)
                    if (condition.events & event)
                        owner->run(condition.actions);
                runButtonHandler(handlers, *owner, handlerOf(event));
            },
            click);
    }
    return std::exchange(context_.scriptChanged, false) || changed;
}

bool Player::flag(std::uint64_t button, std::string_view name)
{
    auto [object, timeline] = root_->findButton(button);
    avm1::Object* self = !object ? nullptr : object->sprite ? object->sprite->object_ : object->scriptObject.get();
    if (!self)
        return true;
    const avm1::Value value = context_.machine->member(avm1::Value(self), name);
    return std::holds_alternative<avm1::Undefined>(value) || context_.machine->conversions().toBoolean(value);
}

bool Player::pointerOver(std::uint64_t button)
{
    if (button && !flag(button, "enabled"))
        button = 0;
    const std::uint64_t left = hovered_;
    if (button == left)
        return false;
    hovered_ = button;
    // While the button is held, only the button it was pressed on hears the pointer come and go.
    bool changed = false;
    if (left && (!down_ || pressed_ == left))
        changed |= transition(left, down_ ? ClipAction::DragOut : ClipAction::RollOut, Button::Up);
    if (button && (!down_ || pressed_ == button))
        changed |= transition(button, down_ ? ClipAction::DragOver : ClipAction::RollOver,
                              down_ ? Button::Down : Button::Over);
    return changed;
}

bool Player::pointerMoved()
{
    if (std::exchange(movedTo_, context_.pointer) == context_.pointer)
        return false;
    if (context_.drag) {
        if (const std::shared_ptr<TimelinePlayer> dragged = context_.drag->clip.lock(); dragged && dragged->script_)
            dragged->script_->followPointer();
        else
            context_.drag.reset();
    }
    runMouseEvent(ClipAction::MouseMove, "onMouseMove", false);
    return std::exchange(context_.scriptChanged, false);
}

bool Player::pointerPressed()
{
    clickAddress_.reset();
    down_ = true;
    runMouseEvent(ClipAction::MouseDown, "onMouseDown", true);
    const bool changed = std::exchange(context_.scriptChanged, false);
    pressed_ = hovered_;
    return (pressed_ && transition(pressed_, ClipAction::Press, Button::Down)) || changed;
}

std::optional<std::string> Player::pointerReleased()
{
    down_ = false;
    const std::uint64_t released = std::exchange(pressed_, 0);
    if (released != hovered_)
        clickAddress_.reset(); // dragged off its button and let go: the click is called off
    runMouseEvent(ClipAction::MouseUp, "onMouseUp", true);
    if (released == hovered_) {
        if (released)
            transition(released, ClipAction::Release, Button::Over);
    } else {
        if (released)
            transition(released, ClipAction::ReleaseOutside, Button::Up);
        if (hovered_) // nothing is held now
            transition(hovered_, ClipAction::RollOver, Button::Over);
    }
    return std::exchange(clickAddress_, std::nullopt);
}

void Player::runMouseEvent(std::uint32_t event, std::string_view handler, bool click)
{
    if (!root_->script_)
        return;
    runUserEvent(
        [&] {
            root_->runEverywhere(event, handler);
            avm1::Machine& machine = *context_.machine;
            if (avm1::Object* mouse = avm1::objectIn(machine.member(avm1::Value(machine.global()), "Mouse")))
                if (machine.callMethod(mouse, "broadcastMessage", *root_->script_, {std::string(handler)})
                    != avm1::Machine::Ending::Finished)
                    context_.scriptStopped = true;
        },
        click);
}

void Player::runUserEvent(const std::function<void()>& scripts, bool click)
{
    context_.userEvent = click;
    context_.made = 0;
    context_.machine->startFrame(); // an event's scripts have a budget of their own
    scripts();
    context_.userEvent = false;
    showDrawings();
    // One click opens one address at the most, whatever its press and release ask for.
    if (context_.requestedAddress && !clickAddress_)
        clickAddress_ = context_.requestedAddress;
    context_.requestedAddress.reset();
}

void Player::runButtonHandler(std::shared_ptr<avm1::Object> object, TimelinePlayer& timeline, std::string_view name)
{
    if (object && timeline.script_ && context_.machine->hasMethod(object.get(), name))
        if (context_.machine->callMethod(object.get(), name, *timeline.script_) != avm1::Machine::Ending::Finished)
            context_.scriptStopped = true;
}

} // namespace quillmere::swf
