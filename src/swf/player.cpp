#include "swf/player.h"

#include <algorithm>
#include <cmath>
#include <set>
#include <utility>

#include "swf/limits.h"

namespace quillmere::swf {

namespace {

// A goto from an action runs the actions of the frame it lands on in the same tick, once; a
// further goto from those waits for the next tick, so that frames jumping to each other cost a
// frame a tick, never a busy loop.
constexpr int kActionRunsPerTick = 2;
// Scripts' random numbers: the same from one showing of a movie to the next.
constexpr std::uint32_t kRandomSeed = 20261208;

} // namespace

TimelinePlayer::TimelinePlayer(PlayContext& context, const Timeline& timeline, int nesting)
    : context_(context), timeline_(timeline), nesting_(nesting)
{
    apply(timeline_.frames.front());
    actionsWaiting_ = !timeline_.frames.front().actions.empty();
}

TimelinePlayer::~TimelinePlayer()
{
    if (clip_)
        machine_->release(clip_);
}

class TimelinePlayer::Host : public avm1::Host {
public:
    explicit Host(TimelinePlayer& timeline) : timeline_(timeline) {}

    void nextFrame() override { goTo(timeline_.frame_ + 1, false); }
    void previousFrame() override { goTo(timeline_.frame_ == 0 ? 0 : timeline_.frame_ - 1, false); }
    void play() override { timeline_.playing_ = true; }
    void stop() override { timeline_.playing_ = false; }
    void gotoFrame(std::uint32_t frame, bool play) override { goTo(frame, play); }
    void gotoLabel(const std::string& label, bool play) override
    {
        const auto& labels = timeline_.timeline_.labels;
        if (const auto found = labels.find(label); found != labels.end())
            goTo(found->second, play);
    }
    void getUrl(const std::string& address, const std::string& /*target*/) override
    {
        PlayContext& context = timeline_.context_;
        if (!context.userEvent)
            context.ignoredAddress = true;
        else if (!context.requestedAddress)
            context.requestedAddress = address;
    }
    double milliseconds() const override { return timeline_.context_.milliseconds; }

private:
    void goTo(std::size_t frame, bool play)
    {
        timeline_.gotoFrame(frame);
        timeline_.playing_ = play;
    }

    TimelinePlayer& timeline_;
};

bool TimelinePlayer::animates() const
{
    if (actionsWaiting_ || (playing_ && frameCount() > 1))
        return true;
    return std::any_of(list_.begin(), list_.end(),
                       [](const auto& entry) { return entry.second.sprite && entry.second.sprite->animates(); });
}

DisplayObject TimelinePlayer::instantiate(std::uint16_t characterId, int nesting)
{
    DisplayObject object;
    object.instance = context_.nextInstance++;
    object.characterId = characterId;
    if (context_.placed >= kMaxDisplayObjects || context_.made >= kMaxObjectsMadeInAFrame)
        return object; // placed, but nothing to show
    object.character = context_.movie.character(characterId);
    ++context_.placed;
    ++context_.made;
    object.counted = std::shared_ptr<const void>(nullptr, [&placed = context_.placed](const void*) { --placed; });
    if (!object.character || nesting + 1 >= kMaxSpriteNesting)
        return object;
    if (const auto* sprite = std::get_if<Sprite>(object.character)) {
        object.sprite = std::make_shared<TimelinePlayer>(context_, sprite->timeline, nesting + 1);
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
        found = list_.insert_or_assign(place.depth, instantiate(*place.characterId, nesting_)).first;
    } else if (place.characterId && *place.characterId != found->second.characterId) {
        DisplayObject replaced = instantiate(*place.characterId, nesting_);
        replaced.matrix = found->second.matrix;
        replaced.colorTransform = found->second.colorTransform;
        replaced.ratio = found->second.ratio;
        replaced.clipDepth = found->second.clipDepth;
        replaced.effects = found->second.effects;
        found->second = std::move(replaced);
    }
    DisplayObject& object = found->second;
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
        if (const auto* placed = std::get_if<Place>(&command))
            place(*placed);
        else
            list_.erase(std::get<Remove>(command).depth);
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
            DisplayObject object = kept != list_.end() && kept->second.characterId == wanted.characterId
                                       ? std::move(kept->second)
                                       : instantiate(wanted.characterId, nesting_);
            object.matrix = wanted.matrix;
            object.colorTransform = wanted.colorTransform;
            object.ratio = wanted.ratio;
            object.clipDepth = wanted.clipDepth;
            rebuilt.emplace(depth, std::move(object));
        }
        list_ = std::move(rebuilt);
        frame_ = frame;
        ++changes_;
    }
    actionsWaiting_ = !timeline_.frames[frame_].actions.empty();
}

void TimelinePlayer::runWaitingActions()
{
    for (int runs = 0; runs < kActionRunsPerTick && actionsWaiting_; ++runs) {
        actionsWaiting_ = false;
        for (const ActionList& actions : timeline_.frames[frame_].actions)
            run(actions); // a goto among them leaves this frame's own lists to run on
    }
}

bool TimelinePlayer::tick(bool advance)
{
    std::set<const TimelinePlayer*> before;
    for (const auto& [depth, object] : list_)
        if (object.sprite)
            before.insert(object.sprite.get());
    const std::uint64_t changesBefore = changes_;
    if (advance && !actionsWaiting_ && playing_ && frameCount() > 1)
        gotoFrame(frame_ + 1 < frameCount() ? frame_ + 1 : 0);
    runWaitingActions();
    bool changed = changes_ != changesBefore;
    // The sprites: those that were here play on; those just placed run their first frame.
    std::vector<std::shared_ptr<TimelinePlayer>> sprites;
    for (const auto& [depth, object] : list_)
        if (object.sprite)
            sprites.push_back(object.sprite);
    for (const auto& sprite : sprites)
        changed |= sprite->tick(advance && before.count(sprite.get()));
    return changed;
}

void TimelinePlayer::run(const ActionList& actions)
{
    if (!context_.machine)
        return;
    if (!machine_) {
        machine_ = context_.machine;
        if (nesting_ > 0) // the main timeline's object is the machine's own
            clip_ = machine_->makeClip();
    }
    Host host(*this);
    if (machine_->run(actions, host, clip_) != avm1::Machine::Ending::Finished)
        context_.scriptStopped = true;
}

std::pair<DisplayObject*, TimelinePlayer*> TimelinePlayer::findButton(std::uint64_t instance)
{
    for (auto& [depth, object] : list_) {
        if (object.instance == instance && object.button)
            return {&object, this};
        if (object.sprite)
            if (auto found = object.sprite->findButton(instance); found.first)
                return found;
    }
    return {nullptr, nullptr};
}

Player::Player(std::shared_ptr<const Movie> movie) : movie_(std::move(movie)), context_{*movie_}
{
    context_.machine = std::make_shared<avm1::Machine>(movie_->version, kRandomSeed);
    root_ = std::make_unique<TimelinePlayer>(context_, movie_->timeline, 0);
    root_->tick(false);
}

bool Player::tick()
{
    context_.made = 0;
    context_.machine->startFrame();
    context_.milliseconds += 1000 / std::clamp(movie_->frameRate, kMinFrameRate, kMaxFrameRate);
    return root_->tick(true);
}

bool Player::setState(std::uint64_t button, Button::State state)
{
    auto [object, timeline] = root_->findButton(button);
    if (!object || object->button->state == state)
        return false;
    object->button->state = state;
    return true;
}

bool Player::pointerOver(std::uint64_t button)
{
    if (button == hovered_)
        return false;
    bool changed = setState(hovered_, Button::Up);
    hovered_ = button;
    changed |= setState(hovered_, pressed_ == button && button ? Button::Down : Button::Over);
    return changed;
}

bool Player::pointerPressed()
{
    clickAddress_.reset();
    pressed_ = hovered_;
    if (!pressed_)
        return false;
    runButtonActions(pressed_, false);
    return setState(pressed_, Button::Down);
}

std::optional<std::string> Player::pointerReleased()
{
    if (pressed_ && pressed_ == hovered_) {
        runButtonActions(pressed_, true);
        setState(pressed_, Button::Over);
    }
    pressed_ = 0;
    return std::exchange(clickAddress_, std::nullopt);
}

void Player::runButtonActions(std::uint64_t button, bool release)
{
    auto [object, timeline] = root_->findButton(button);
    if (!object)
        return;
    const Button& definition = std::get<Button>(*object->character);
    context_.userEvent = true;
    context_.made = 0;
    context_.machine->startFrame(); // a click's scripts have a budget of their own
    for (const ActionList& actions : release ? definition.onRelease : definition.onPress)
        timeline->run(actions);
    context_.userEvent = false;
    // One click opens one address at the most, whatever its press and release ask for.
    if (context_.requestedAddress && !clickAddress_)
        clickAddress_ = context_.requestedAddress;
    context_.requestedAddress.reset();
}

} // namespace quillmere::swf
