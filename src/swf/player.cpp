#include "swf/player.h"

#include <algorithm>

#include "swf/limits.h"

namespace quillmere::swf {

TimelinePlayer::TimelinePlayer(const Movie& movie, const Timeline& timeline, int nesting)
    : movie_(movie), timeline_(timeline), nesting_(nesting)
{
    apply(timeline_.frames.front());
}

DisplayObject TimelinePlayer::instantiate(std::uint16_t characterId) const
{
    DisplayObject object;
    object.characterId = characterId;
    object.character = movie_.character(characterId);
    if (const auto* sprite = object.character ? std::get_if<Sprite>(object.character) : nullptr;
        sprite && nesting_ + 1 < kMaxSpriteNesting)
        object.sprite = std::make_shared<TimelinePlayer>(movie_, sprite->timeline, nesting_ + 1);
    return object;
}

void TimelinePlayer::place(const Place& place)
{
    auto found = list_.find(place.depth);
    if (!place.move || found == list_.end()) {
        // A new placement needs a character; one at an occupied depth replaces what was there.
        if (!place.characterId)
            return;
        found = list_.insert_or_assign(place.depth, instantiate(*place.characterId)).first;
    } else if (place.characterId && *place.characterId != found->second.characterId) {
        DisplayObject replaced = instantiate(*place.characterId);
        replaced.matrix = found->second.matrix;
        replaced.colorTransform = found->second.colorTransform;
        replaced.ratio = found->second.ratio;
        replaced.clipDepth = found->second.clipDepth;
        found->second = std::move(replaced);
    }
    DisplayObject& object = found->second;
    if (place.matrix)
        object.matrix = *place.matrix;
    if (place.colorTransform)
        object.colorTransform = *place.colorTransform;
    if (place.ratio)
        object.ratio = *place.ratio;
    if (place.clipDepth)
        object.clipDepth = *place.clipDepth;
}

bool TimelinePlayer::apply(const Frame& frame)
{
    for (const auto& command : frame.commands) {
        if (const auto* placed = std::get_if<Place>(&command))
            place(*placed);
        else
            list_.erase(std::get<Remove>(command).depth);
    }
    return !frame.commands.empty();
}

bool TimelinePlayer::nextFrame()
{
    return gotoFrame(frame_ + 1 < frameCount() ? frame_ + 1 : 0);
}

bool TimelinePlayer::gotoFrame(std::size_t frame)
{
    frame = std::min(frame, frameCount() - 1);
    if (frame == frame_)
        return false;
    bool changed = false;
    if (frame > frame_) {
        while (frame_ < frame)
            changed |= apply(timeline_.frames[++frame_]);
        return changed;
    }
    // Backwards: the display list the frames up to `frame` build, keeping each object that is
    // still there with the same character, so that a looping movie's sprites play on.
    TimelinePlayer replay(movie_, timeline_, kMaxSpriteNesting); // no sprites of its own
    while (replay.frame_ < frame)
        replay.apply(timeline_.frames[++replay.frame_]);
    DisplayList rebuilt;
    for (auto& [depth, wanted] : replay.list_) {
        auto kept = list_.find(depth);
        DisplayObject object = kept != list_.end() && kept->second.characterId == wanted.characterId
                                   ? std::move(kept->second)
                                   : instantiate(wanted.characterId);
        object.matrix = wanted.matrix;
        object.colorTransform = wanted.colorTransform;
        object.ratio = wanted.ratio;
        object.clipDepth = wanted.clipDepth;
        rebuilt.emplace(depth, std::move(object));
    }
    list_ = std::move(rebuilt);
    frame_ = frame;
    return true;
}

Player::Player(std::shared_ptr<const Movie> movie) : movie_(std::move(movie)), root_(*movie_, movie_->timeline, 0)
{
}

} // namespace quillmere::swf
