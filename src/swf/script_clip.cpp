#include "swf/script_clip.h"

#include <algorithm>
#include <cmath>

#include "swf/avm1/natives.h"
#include "swf/avm1/strings.h"
#include "swf/placed_properties.h"
#include "swf/script_painter.h"

namespace quillmere::swf {

namespace {

// Where the pointer is, in twips of the space `toStage` maps to the stage; none where that map
// cannot be undone.
std::optional<std::pair<double, double>> pointerIn(const Matrix& toStage, Point pointer)
{
    const std::optional<Matrix> back = inverted(toStage);
    if (!back)
        return std::nullopt;
    return std::pair(back->a * pointer.x + back->c * pointer.y + back->tx,
                     back->b * pointer.x + back->d * pointer.y + back->ty);
}

} // namespace

void TimelinePlayer::ScriptClip::changed()
{
    timeline_.context_.scriptChanged = true;
}

void TimelinePlayer::ScriptClip::nextFrame()
{
    gotoFrame(std::uint32_t(timeline_.frame_ + 1), false);
}

void TimelinePlayer::ScriptClip::previousFrame()
{
    gotoFrame(std::uint32_t(timeline_.frame_ == 0 ? 0 : timeline_.frame_ - 1), false);
}

ScriptPainter* TimelinePlayer::ScriptClip::painterFor(std::size_t pixels)
{
    PlayContext& context = timeline_.context_;
    if (!context.painter)
        return nullptr;
    spendPixels(pixels);
    return context.painter.get();
}

void TimelinePlayer::ScriptClip::spendPixels(std::size_t pixels)
{
    PlayContext& context = timeline_.context_;
    if (pixels > context.pixelsToPaint) // a cap like the others: the frame's scripts stop
        machine().halt(avm1::Machine::Ending::OverBudget);
    context.pixelsToPaint -= pixels;
}

void TimelinePlayer::ScriptClip::gotoFrame(std::uint32_t frame, bool play)
{
    timeline_.gotoFrame(frame);
    timeline_.playing_ = play;
    changed();
}

void TimelinePlayer::ScriptClip::gotoLabel(const std::string& label, bool play)
{
    const auto& labels = timeline_.timeline_.labels;
    if (const auto found = labels.find(label); found != labels.end())
        gotoFrame(std::uint32_t(found->second), play);
}

void TimelinePlayer::ScriptClip::callFrame(const std::string& frame)
{
    const auto& labels = timeline_.timeline_.labels;
    std::size_t index = 0;
    if (const auto found = labels.find(frame); found != labels.end())
        index = found->second;
    else if (const double number = machine().toNumber(frame); number >= 1 && number <= double(timeline_.frameCount()))
        index = std::size_t(number) - 1;
    else
        return;
    // Held, with a copy of the actions: they may take this timeline off the stage.
    const auto self = timeline_.shared_from_this();
    const std::vector<ActionList> actions = timeline_.timeline_.frames[index].actions;
    for (const ActionList& list : actions)
        timeline_.runOn(timeline_.object_, list);
}

void TimelinePlayer::ScriptClip::getUrl(const std::string& address, const std::string& /*target*/)
{
    PlayContext& context = timeline_.context_;
    if (!context.userEvent)
        context.ignoredAddress = true;
    else if (!context.requestedAddress)
        context.requestedAddress = address;
}

std::string TimelinePlayer::ScriptClip::path(char separator) const
{
    std::string path;
    for (const TimelinePlayer* at = &timeline_; at->parent_; at = at->parent_) {
        const DisplayObject* placed = at->placed();
        path.insert(0, separator + (placed ? placed->name : std::string()));
    }
    return path;
}

std::string TimelinePlayer::ScriptClip::dropTarget()
{
    ScriptPainter* painter = painterFor(0);
    TimelinePlayer* root = &timeline_;
    while (root->parent_)
        root = root->parent_;
    // Deepest first, topmost first: the clip it would be dropped on.
    const std::function<std::string(TimelinePlayer&)> under = [&](TimelinePlayer& in) -> std::string {
        const std::vector<std::shared_ptr<TimelinePlayer>> sprites = in.sprites();
        for (auto at = sprites.rbegin(); at != sprites.rend(); ++at) {
            const std::shared_ptr<TimelinePlayer>& sprite = *at;
            machine().chargeSearch(1);
            const DisplayObject* placed = sprite->placement();
            if (sprite.get() == &timeline_ || !placed || !placed->effects.visible || !sprite->script_)
                continue;
            if (std::string deeper = under(*sprite); !deeper.empty())
                return deeper;
            if (painter->covers(sprite->list_, sprite->script_->toStage(), timeline_.context_.pointer))
                return sprite->script_->path('/');
        }
        return {};
    };
    return painter ? under(*root) : std::string();
}

std::optional<avm1::Value> TimelinePlayer::ScriptClip::property(std::string_view name)
{
    const DisplayObject* placed = this->placed();
    if (name.front() != '_') {
        // In pixels, a copy: making the object may run a script that changes the placement.
        const auto inPixels = [](const Box& b) {
            return Box{b.xMin / kTwipsPerPixel, b.yMin / kTwipsPerPixel, b.xMax / kTwipsPerPixel,
                       b.yMax / kTwipsPerPixel};
        };
        if (name == "scrollrect" && placed && placed->scrollRect)
            return makeRectangle(machine(), inPixels(*placed->scrollRect));
        if (name == "scale9grid" && placed && placed->scalingGrid)
            return makeRectangle(machine(), inPixels(*placed->scalingGrid));
        if (name == "transform")
            return transformOf(machine(), timeline_.object_);
        return placed ? effectProperty(machine(), *placed, name) : std::nullopt;
    }
    if (!placed && (name == "_width" || name == "_height")) {
        const std::optional<Box> bounds = contentBounds();
        return bounds ? (name == "_width" ? bounds->width() : bounds->height()) / kTwipsPerPixel : 0.0;
    }
    if (std::optional<avm1::Value> value = placedProperty(placed, name))
        return value;
    if (name == "_currentframe")
        return double(timeline_.frame_ + 1);
    if (name == "_totalframes" || name == "_framesloaded")
        return double(timeline_.frameCount());
    if (name == "_target") {
        const std::string target = path('/');
        return target.empty() ? std::string("/") : target;
    }
    if (name == "_parent") {
        if (avm1::Object* up = parent())
            return avm1::Value(up);
        return avm1::Value(avm1::Undefined{});
    }
    if (name == "_root")
        return machine().root();
    if (name == "_xmouse" || name == "_ymouse") {
        const auto pointer = pointerIn(toStage(), timeline_.context_.pointer);
        if (!pointer)
            return 0.0;
        return std::round((name == "_xmouse" ? pointer->first : pointer->second) / kTwipsPerPixel);
    }
    if (name == "_url")
        return std::string();
    if (name == "_droptarget")
        return dropTarget();
    if (name == "_quality")
        return std::string(PlayContext::nameOf(timeline_.context_.quality));
    if (name == "_highquality") {
        using enum PlayContext::Quality;
        const PlayContext::Quality quality = timeline_.context_.quality;
        return quality == Low ? 0.0 : quality == Best ? 2.0 : 1.0;
    }
    if (name == "_focusrect")
        return 1.0;
    if (name == "_soundbuftime")
        return 5.0;
    return std::nullopt;
}

void TimelinePlayer::ScriptClip::toggleQuality()
{
    using enum PlayContext::Quality;
    timeline_.context_.quality = timeline_.context_.quality == Low ? High : Low;
}

// The quality the whole movie is drawn in, by its name in any case, or as _highquality's 0 for
// low, 1 for high and 2 for best; anything else changes nothing.
void TimelinePlayer::ScriptClip::setQuality(std::string_view name, const avm1::Value& value)
{
    using enum PlayContext::Quality;
    PlayContext::Quality& quality = timeline_.context_.quality;
    if (name == "_highquality") {
        const double level = machine().toNumber(value);
        quality = level == 0 ? Low : level == 1 ? High : level == 2 ? Best : quality;
        return;
    }
    quality = PlayContext::qualityNamed(machine().toString(value)).value_or(quality);
}

bool TimelinePlayer::ScriptClip::setProperty(std::string_view name, const avm1::Value& value)
{
    // What is given converts before the placement is found again: a script's valueOf or getter
    // may remove this clip, or send its parent back a frame, which places it anew.
    const auto placement = [this] { return placed(); };
    if (name.front() != '_') {
        if (name == "transform") { // takes the matrix and colours of the one given
            avm1::Machine& m = machine();
            const avm1::Value mine = transformOf(m, timeline_.object_);
            for (const char* part : {"matrix", "colorTransform"})
                m.setMember(mine, part, m.member(value, part));
            return true;
        }
        if (name == "hitarea") {
            if (DisplayObject* placed = this->placed()) {
                const ScriptClip* area = clipOf(value);
                placed->hitArea = area ? area->timeline_.weak_from_this() : std::weak_ptr<TimelinePlayer>();
            }
            return false; // kept as it is given too, for scripts to read back
        }
        if (!placed())
            return name == "scrollrect" || name == "scale9grid";
        if (name == "scrollrect" || name == "scale9grid") {
            const std::optional<Box> box = rectangleOf(value);
            if (DisplayObject* placed = this->placed())
                (name == "scrollrect" ? placed->scrollRect : placed->scalingGrid) = box;
        } else if (!setEffectProperty(machine(), placement, name, value)) {
            return false;
        }
        changed();
        return true;
    }
    static constexpr std::string_view readOnly[]
        = {"_currentframe", "_totalframes", "_framesloaded", "_target", "_parent",
           "_root",         "_xmouse",      "_ymouse",       "_url",    "_droptarget"};
    if (std::find(std::begin(readOnly), std::end(readOnly), name) != std::end(readOnly))
        return true;
    if (name == "_quality" || name == "_highquality") {
        setQuality(name, value);
        return true;
    }
    if (!isPlacedProperty(name))
        return name == "_focusrect" || name == "_soundbuftime";
    // The main timeline stays where the stage is.
    if (placed() && setPlacedProperty(machine(), placement, name, value))
        changed();
    if (name == "_name" && timeline_.parent_)
        timeline_.parent_->namesStale_ = true;
    return true;
}

avm1::Object* TimelinePlayer::ScriptClip::child(std::string_view name)
{
    avm1::Machine& m = machine();
    const std::string wanted = m.key(name);
    const bool caseBlind = m.conversions().version() <= 6;
    // A copy: a button's object is made below, and a script that runs then may rename children.
    const std::vector<std::int32_t> depths = timeline_.depthsNamed(caseBlind ? wanted : avm1::lowerCase(wanted));
    for (const std::int32_t depth : depths) {
        const auto found = timeline_.list_.find(depth);
        if (found == timeline_.list_.end())
            continue;
        DisplayObject& object = found->second;
        if (!(caseBlind ? avm1::sameInLowerCase(object.name, wanted) : object.name == wanted))
            continue;
        if (object.sprite && object.sprite->object_)
            return object.sprite->object_;
        if (object.scriptObject)
            return object.scriptObject.get();
        if (object.character && std::holds_alternative<EditText>(*object.character))
            return fieldObject(*this, object.instance);
        if (object.button) { // made when a script first asks for it
            const std::uint64_t instance = object.instance;
            // A getter on the way to the prototype may run a script, which may remove the button
            // or place it anew: it is found again after.
            avm1::Object* prototype
                = avm1::objectIn(m.member(m.member(avm1::Value(m.global()), "Button"), "prototype"));
            DisplayObject* button = findInstance(instance);
            if (!button || button->scriptObject)
                return button ? button->scriptObject.get() : nullptr;
            auto* made = m.make<PlacedObject>(prototype);
            if (!made)
                return nullptr;
            made->owner = timeline_.weak_from_this();
            made->instance = instance;
            m.keep(made);
            return (button->scriptObject = kept(made)).get();
        }
    }
    return nullptr;
}

avm1::Object* TimelinePlayer::ScriptClip::childAt(double depth)
{
    const std::optional<std::int32_t> at = listDepth(depth);
    const auto found = at ? timeline_.list_.find(*at) : timeline_.list_.end();
    if (found == timeline_.list_.end())
        return nullptr;
    if (const DisplayObject& object = found->second; object.sprite && object.sprite->object_)
        return object.sprite->object_;
    return found->second.name.empty() ? nullptr : child(found->second.name);
}

std::shared_ptr<avm1::Object> TimelinePlayer::ScriptClip::kept(avm1::Object* object) const
{
    return std::shared_ptr<avm1::Object>(object, [machine = std::weak_ptr(timeline_.machine_)](avm1::Object* gone) {
        if (const std::shared_ptr<avm1::Machine> alive = machine.lock())
            alive->release(gone);
    });
}

avm1::Object* TimelinePlayer::ScriptClip::parent()
{
    return timeline_.parent_ ? timeline_.parent_->object_ : nullptr;
}

std::int32_t TimelinePlayer::ScriptClip::nextHighestDepth() const
{
    const DisplayList& list = timeline_.list_;
    for (auto at = list.rbegin(); at != list.rend(); ++at)
        if (at->first != kDrawingDepth)
            return std::max(0, at->first - kScriptDepths + 1);
    return 0;
}

std::optional<std::int32_t> TimelinePlayer::ScriptClip::listDepth(double depth)
{
    if (!std::isfinite(depth) || std::abs(depth) > 2'000'000'000 - kScriptDepths)
        return std::nullopt;
    return std::int32_t(depth) + kScriptDepths;
}

DisplayObject* TimelinePlayer::ScriptClip::placeAt(double depth, DisplayObject object)
{
    const std::optional<std::int32_t> at = listDepth(depth);
    if (!at)
        return nullptr;
    DisplayList& list = timeline_.list_;
    if (const auto found = list.find(*at); found != list.end())
        timeline_.discard(std::move(found->second));
    object.dynamic = true;
    if (object.sprite)
        object.sprite->depth_ = *at;
    namesChanged();
    changed();
    return &list.insert_or_assign(*at, std::move(object)).first->second;
}

DisplayObject TimelinePlayer::ScriptClip::madeObject(Character character)
{
    DisplayObject made;
    made.instance = timeline_.context_.nextInstance++;
    made.made = std::make_shared<const Character>(std::move(character));
    made.character = made.made.get();
    return made;
}

avm1::Object* TimelinePlayer::ScriptClip::createChild(std::optional<std::uint16_t> characterId, const std::string& name,
                                                      double depth)
{
    if (!listDepth(depth))
        return nullptr;
    DisplayObject made = timeline_.instantiate(characterId.value_or(0), timeline_.nesting_);
    made.name = name;
    const DisplayObject* placed = placeAt(depth, std::move(made));
    return placed && placed->sprite ? placed->sprite->object_ : nullptr;
}

avm1::Object* TimelinePlayer::ScriptClip::duplicate(const std::string& name, double depth)
{
    DisplayObject* placed = this->placed();
    if (!placed || !timeline_.parent_ || !timeline_.parent_->script_)
        return nullptr;
    const DisplayObject original = *placed; // the copy below may replace it
    ScriptClip& parent = *timeline_.parent_->script_;
    avm1::Object* made = parent.createChild(original.characterId, name, depth);
    if (!made || !made->clip)
        return made;
    auto& copy = static_cast<ScriptClip&>(*made->clip);
    DisplayObject* copied = copy.placed();
    copied->matrix = original.matrix;
    copied->colorTransform = original.colorTransform;
    copied->effects = original.effects;
    copied->events = original.events;
    copied->scripted = original.scripted;
    if (drawing_)
        copy.drawing() = *drawing_;
    copy.timeline_.refreshDrawing();
    return made;
}

void TimelinePlayer::ScriptClip::remove()
{
    // Only what scripts place can they remove, and only at their own depths.
    DisplayObject* placed = this->placed();
    if (!placed || timeline_.depth_ < kScriptDepths)
        return;
    TimelinePlayer& parent = *timeline_.parent_;
    const auto found = parent.list_.find(timeline_.depth_);
    parent.discard(std::move(found->second)); // this clip lives on until the next tick
    parent.list_.erase(found);
    changed();
}

void TimelinePlayer::ScriptClip::removeScripted(std::uint64_t instance)
{
    DisplayList& list = timeline_.list_;
    const auto found = std::find_if(list.lower_bound(kScriptDepths), list.end(),
                                    [instance](const auto& entry) { return entry.second.instance == instance; });
    if (found == list.end())
        return;
    timeline_.discard(std::move(found->second));
    list.erase(found);
    changed();
}

void TimelinePlayer::ScriptClip::swapDepths(double depth)
{
    const std::optional<std::int32_t> wanted = listDepth(depth);
    if (!placed() || !wanted || *wanted == timeline_.depth_)
        return;
    const std::int32_t to = *wanted;
    DisplayList& list = timeline_.parent_->list_;
    auto mine = list.extract(timeline_.depth_);
    mine.mapped().dynamic = true; // the frames no longer place it
    if (auto other = list.extract(to)) {
        other.key() = timeline_.depth_;
        if (other.mapped().sprite)
            other.mapped().sprite->depth_ = timeline_.depth_;
        other.mapped().dynamic = true;
        list.insert(std::move(other));
    }
    mine.key() = to;
    timeline_.depth_ = to;
    list.insert(std::move(mine));
    timeline_.parent_->namesStale_ = true;
    changed();
}

void TimelinePlayer::ScriptClip::swapWith(ScriptClip& other)
{
    if (other.timeline_.parent_ == timeline_.parent_ && &other != this)
        swapDepths(double(other.timeline_.depth_ - kScriptDepths));
}

Matrix TimelinePlayer::ScriptClip::toStage() const
{
    Matrix matrix;
    for (TimelinePlayer* at = &timeline_; at->parent_; at = at->parent_)
        if (const DisplayObject* placed = at->placement())
            matrix = matrix * placed->matrix;
    return matrix;
}

ColorTransform TimelinePlayer::ScriptClip::colorsToStage() const
{
    ColorTransform colors;
    for (TimelinePlayer* at = &timeline_; at->parent_; at = at->parent_)
        if (const DisplayObject* placed = at->placement())
            colors = placed->colorTransform.after(colors);
    return colors;
}

std::optional<Box> TimelinePlayer::ScriptClip::boundsIn(const ScriptClip* space) const
{
    const std::optional<Box> bounds = contentBounds();
    if (!bounds)
        return std::nullopt;
    Matrix to = toStage();
    if (space)
        if (const std::optional<Matrix> back = inverted(space->toStage()))
            to = to * *back;
    return mapped(*bounds, to);
}

std::optional<Box> TimelinePlayer::ScriptClip::rectangleOf(const avm1::Value& value)
{
    avm1::Machine& m = machine();
    if (!std::holds_alternative<avm1::Object*>(value))
        return std::nullopt;
    const auto field = [&](const char* name) {
        const double pixels = m.toNumber(m.member(value, name));
        return std::isfinite(pixels) ? twips(pixels) : 0.0;
    };
    const double x = field("x"), y = field("y");
    return Box{x, y, x + std::max(0.0, field("width")), y + std::max(0.0, field("height"))};
}

void TimelinePlayer::ScriptClip::attachBitmap(std::shared_ptr<const Bitmap> bitmap, double depth, bool smoothing)
{
    const auto width = std::int32_t(bitmap->width * kTwipsPerPixel),
               height = std::int32_t(bitmap->height * kTwipsPerPixel);
    EdgeLayer layer;
    FillStyle fill;
    fill.kind = FillStyle::Kind::Bitmap;
    fill.scriptBitmap = std::move(bitmap);
    fill.matrix.a = fill.matrix.d = kTwipsPerPixel;
    fill.repeat = false;
    fill.smooth = smoothing;
    layer.fills.push_back(std::move(fill));
    const Point corners[] = {{0, 0}, {width, 0}, {width, height}, {0, height}, {0, 0}};
    for (std::size_t i = 0; i + 1 < std::size(corners); ++i)
        layer.edges.push_back({corners[i], {{}, corners[i + 1], false}, 0, 1, 0});
    Shape shape;
    shape.bounds = {0, width, 0, height};
    shape.serial = Drawing::nextSerial();
    shape.layers.push_back(buildLayer(std::move(layer)));
    placeAt(depth, madeObject(std::move(shape)));
}

DisplayObject* TimelinePlayer::ScriptClip::placeField(const std::string& name, double depth, const Matrix& matrix,
                                                      EditText field)
{
    DisplayObject placed = madeObject(std::move(field));
    placed.name = name;
    placed.matrix = matrix;
    return placeAt(depth, std::move(placed));
}

DisplayObject* TimelinePlayer::ScriptClip::findInstance(std::uint64_t instance)
{
    for (auto& [depth, object] : timeline_.list_)
        if (object.instance == instance)
            return &object;
    return nullptr;
}

DisplayObject* TimelinePlayer::ScriptClip::findScripted(std::uint64_t instance)
{
    DisplayObject* found = findInstance(instance);
    return found && found->scriptObject ? found : nullptr;
}

std::uint64_t TimelinePlayer::ScriptClip::fieldChanged(DisplayObject& field)
{
    changed();
    return field.instance = timeline_.context_.nextInstance++;
}

void TimelinePlayer::ScriptClip::setMask(ScriptClip* mask)
{
    DisplayObject* placed = this->placed();
    if (!placed)
        return;
    if (const auto old = std::const_pointer_cast<TimelinePlayer>(placed->maskedBy.lock()))
        if (DisplayObject* oldMask = old->placement())
            oldMask->isMask = false;
    placed->maskedBy.reset();
    if (mask && mask != this)
        if (DisplayObject* maskPlaced = mask->placed()) {
            maskPlaced->isMask = true;
            placed->maskedBy = mask->timeline_.weak_from_this();
        }
    changed();
}

Matrix TimelinePlayer::parentToStage() const
{
    return parent_ && parent_->script_ ? parent_->script_->toStage() : Matrix{};
}

ColorTransform TimelinePlayer::ScriptClip::colorTransform() const
{
    const DisplayObject* placed = this->placed();
    return placed ? placed->colorTransform : ColorTransform{};
}

Matrix TimelinePlayer::ScriptClip::matrix() const
{
    const DisplayObject* placed = this->placed();
    return placed ? placed->matrix : Matrix{};
}

void TimelinePlayer::ScriptClip::setMatrix(const Matrix& matrix)
{
    if (DisplayObject* placed = this->placed()) {
        placed->matrix = matrix;
        placed->scripted = true;
        changed();
    }
}

void TimelinePlayer::ScriptClip::startDrag(bool lockCenter, std::optional<Box> bounds)
{
    PlayContext& context = timeline_.context_;
    const auto pointer = pointerIn(timeline_.parentToStage(), context.pointer);
    if (!timeline_.parent_ || !pointer)
        return; // the main timeline stays where the stage is
    std::pair offset{0.0, 0.0};
    if (!lockCenter)
        offset = {matrix().tx - pointer->first, matrix().ty - pointer->second};
    if (bounds) {
        const double left = twips(bounds->xMin), top = twips(bounds->yMin);
        const double right = twips(bounds->xMax), bottom = twips(bounds->yMax);
        bounds = Box{std::min(left, right), std::min(top, bottom), std::max(left, right), std::max(top, bottom)};
    }
    context.drag = PlayContext::Drag{timeline_.weak_from_this(), offset, bounds};
    followPointer();
}

void TimelinePlayer::ScriptClip::followPointer()
{
    const PlayContext& context = timeline_.context_;
    const auto pointer = pointerIn(timeline_.parentToStage(), context.pointer);
    if (!context.drag || !pointer)
        return;
    double x = pointer->first + context.drag->offset.first, y = pointer->second + context.drag->offset.second;
    if (const std::optional<Box>& bounds = context.drag->bounds) {
        x = std::clamp(x, bounds->xMin, bounds->xMax);
        y = std::clamp(y, bounds->yMin, bounds->yMax);
    }
    Matrix at = matrix();
    x = twips(x / kTwipsPerPixel);
    y = twips(y / kTwipsPerPixel);
    if (at.tx == x && at.ty == y)
        return;
    at.tx = x;
    at.ty = y;
    setMatrix(at);
}

void TimelinePlayer::ScriptClip::setColorTransform(const ColorTransform& colors)
{
    if (DisplayObject* placed = this->placed()) {
        placed->colorTransform = colors;
        placed->scripted = true;
        changed();
    }
}

std::optional<Box> TimelinePlayer::ScriptClip::contentBounds() const
{
    std::optional<Box> bounds;
    for (const auto& [depth, child] : timeline_.list_)
        if (!child.clipDepth)
            if (const std::optional<Box> inner = boundsOf(child))
                bounds = united(bounds, mapped(*inner, child.matrix));
    return bounds;
}

Drawing& TimelinePlayer::ScriptClip::drawing()
{
    if (!drawing_)
        drawing_ = std::make_unique<Drawing>(timeline_.context_.drawnParts);
    if (!std::exchange(redrawPending_, true))
        timeline_.context_.redrawn.push_back(timeline_.weak_from_this());
    changed();
    return *drawing_;
}

void TimelinePlayer::refreshDrawing()
{
    if (!script_ || !script_->drawing_)
        return;
    script_->redrawPending_ = false;
    std::shared_ptr<const Shape> shape = script_->drawing_->shape();
    const auto found = list_.find(kDrawingDepth);
    if (!shape) {
        if (found != list_.end())
            list_.erase(found);
        return;
    }
    DisplayObject drawn;
    drawn.instance = context_.nextInstance++;
    drawn.made = std::make_shared<const Character>(*shape);
    drawn.character = drawn.made.get();
    drawn.dynamic = true;
    list_.insert_or_assign(kDrawingDepth, std::move(drawn));
    ++changes_;
}

} // namespace quillmere::swf
