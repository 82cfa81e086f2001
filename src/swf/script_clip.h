#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "swf/avm1/clip.h"
#include "swf/drawing.h"
#include "swf/geometry.h"
#include "swf/player.h"

namespace quillmere::swf {

// A timeline as its scripts see it: its display properties, its children by name, its frames,
// and what the MovieClip methods do to it.
class TimelinePlayer::ScriptClip : public avm1::Clip {
public:
    explicit ScriptClip(TimelinePlayer& timeline) : timeline_(timeline) {}

    // The frames.
    void nextFrame() override;
    void previousFrame() override;
    void play() override { timeline_.playing_ = true; }
    void stop() override { timeline_.playing_ = false; }
    void gotoFrame(std::uint32_t frame, bool play) override;
    void gotoLabel(const std::string& label, bool play) override;
    void callFrame(const std::string& frame) override;
    // A child's name was set: children are found by their names as they are now.
    void namesChanged() { timeline_.namesStale_ = true; }
    void getUrl(const std::string& address, const std::string& target) override;
    double milliseconds() const override { return timeline_.context_.milliseconds; }
    void toggleQuality() override;

    std::optional<avm1::Value> property(std::string_view name) override;
    bool setProperty(std::string_view name, const avm1::Value& value) override;
    avm1::Object* child(std::string_view name) override;
    // The object of what is at one of its depths, as scripts count them; null for nothing, or
    // for what scripts cannot name.
    avm1::Object* childAt(double depth);
    int movieVersion() const { return timeline_.context_.movie.version; }
    avm1::Object* parent() override;

    TimelinePlayer& timeline() { return timeline_; }
    const DisplayList& contents() const { return timeline_.list_; }
    // The painter for scripts' bitmaps, if the player has one; past the pixels a frame may
    // paint, the frame's scripts stop.
    ScriptPainter* painterFor(std::size_t pixels);
    // Counts pixels a script's bitmaps work through, painted or not, against the same budget.
    void spendPixels(std::size_t pixels);
    avm1::Machine& machine() { return *timeline_.machine_; }
    avm1::Object* object() const { return timeline_.object_; }
    // How scripts name it from the main timeline: ".a.b" in dots, "/a/b" in slashes.
    std::string path(char separator) const;
    // The path in slashes of the deepest clip under the pointer, other than this one, where a
    // drag of it would drop it; empty when none is.
    std::string dropTarget();

    // Depths as scripts count them.
    std::int32_t depth() const { return timeline_.depth_ - kScriptDepths; }
    std::int32_t nextHighestDepth() const;
    // A new clip at a depth of this one: an empty one, or a character the movie exports by
    // `linkage`. Its object, or null when nothing was placed.
    avm1::Object* createChild(std::optional<std::uint16_t> characterId, const std::string& name, double depth);
    avm1::Object* duplicate(const std::string& name, double depth);
    void remove();
    // Takes off what a script placed here with this instance: a field, say.
    void removeScripted(std::uint64_t instance);
    void swapDepths(double depth);
    void swapWith(ScriptClip& other);
    // This clip's twips to the stage's, and its bounds in another clip's twips.
    Matrix toStage() const;
    std::optional<Box> boundsIn(const ScriptClip* space) const;
    // Its colour transform within its parents', as it is drawn.
    ColorTransform colorsToStage() const;
    Drawing& drawing();
    ColorTransform colorTransform() const;
    // Its matrix in its parent, in twips; the main timeline's stays where the stage is.
    Matrix matrix() const;
    void setMatrix(const Matrix& matrix);
    // Places a text field a script made at a depth of this clip; the one placed, or null.
    DisplayObject* placeField(const std::string& name, double depth, const Matrix& matrix, EditText field);
    // A button or field that a script has the object of, by its instance; null once gone.
    DisplayObject* findScripted(std::uint64_t instance);
    // What is placed here with this instance, whether a script has its object or not; null once
    // gone.
    DisplayObject* findInstance(std::uint64_t instance);
    // After a change to a field: a new instance, so that it is drawn again.
    std::uint64_t fieldChanged(DisplayObject& field);
    // `object`, which the machine keeps, held until the last copy goes: then it is the
    // machine's to free, if the machine is still there.
    std::shared_ptr<avm1::Object> kept(avm1::Object* object) const;
    // Shows a script's bitmap at a depth of this clip, a pixel to a pixel from its origin.
    void attachBitmap(std::shared_ptr<const Bitmap> bitmap, double depth, bool smoothing);
    // Makes `mask`'s picture this one's mask, and no longer drawn; null: no mask.
    void setMask(ScriptClip* mask);
    void setColorTransform(const ColorTransform& colors);
    // Has this clip follow the pointer from now on, in place of any other: its origin on it, or
    // kept where it is from it; within `bounds` of its parent's pixels when given.
    void startDrag(bool lockCenter, std::optional<Box> bounds);
    // Moves it to where the drag puts it, after the pointer moved.
    void followPointer();
    void stopDrag() { timeline_.context_.drag.reset(); }
    // After a script changed what this clip shows: the frame is drawn again.
    void changed();

private:
    void setQuality(std::string_view name, const avm1::Value& value);

    // The placement in the parent whose properties a script changes.
    DisplayObject* placed() const { return timeline_.placement(); }
    // Where a script's depth lies in the display list; none past what depths may be.
    static std::optional<std::int32_t> listDepth(double depth);
    // Puts what a script made at one of this clip's depths, in place of what was there.
    DisplayObject* placeAt(double depth, DisplayObject object);
    DisplayObject madeObject(Character character);
    // A Rectangle's numbers in twips; none for what is not an object.
    std::optional<Box> rectangleOf(const avm1::Value& value);
    // Where what it holds draws, in its own twips.
    std::optional<Box> contentBounds() const;

    friend class TimelinePlayer;
    TimelinePlayer& timeline_;
    std::unique_ptr<Drawing> drawing_;
    bool redrawPending_ = false;
};

// The clip whose object this is; null for any other value, or a clip gone from the stage.
TimelinePlayer::ScriptClip* clipOf(const avm1::Value& value);

// The methods of every clip's object: MovieClip.prototype's.
void installClipMethods(avm1::Machine& machine);
void installColorClass(avm1::Machine& machine);
void installBitmapDataClass(avm1::Machine& machine);
void installTextFieldClass(avm1::Machine& machine);
// The object of the text field placed in `clip` as `instance`, made when a script first asks for
// it; null once the field is gone, which a getter run on the way may have done.
avm1::Object* fieldObject(TimelinePlayer::ScriptClip& clip, std::uint64_t instance);
// Shows in each of the clip's fields that names a variable what the variable holds.
void showVariables(TimelinePlayer::ScriptClip& clip);
void installFilterClasses(avm1::Machine& machine);
// A filter object as the renderer takes it; none for what is not one.
std::optional<Filter> filterOf(avm1::Machine& machine, const avm1::Value& object);
void installTransformClass(avm1::Machine& machine);
void installSoundClass(avm1::Machine& machine);
// A new object of a flash.geom class, by its name, its constructor not run.
avm1::Object* makeGeomObject(avm1::Machine& machine, const char* className);
// A flash.geom.Rectangle of `box`, given in pixels.
avm1::Object* makeRectangle(avm1::Machine& machine, const Box& box);
// A flash.geom.Matrix, its translation in twips; none for what is not an object or has a
// number that is not.
std::optional<Matrix> matrixOf(avm1::Machine& machine, const avm1::Value& object);
// A flash.geom.ColorTransform's numbers; missing ones leave their channel as it is.
ColorTransform colorsOf(avm1::Machine& machine, const avm1::Value& object);
// A clip's transform: a new flash.geom.Transform of its clip.
avm1::Value transformOf(avm1::Machine& machine, avm1::Object* clip);
// A blend mode by its name or number; Normal for what is neither.
BlendMode blendModeOf(avm1::Machine& machine, const avm1::Value& value);
// A clip's blendMode, cacheAsBitmap and filters, by their names in lower case: none for another
// name; false when setting another. What is read is copied before a script can run; what is set
// is converted first, then written to the placement `placement` finds, if it is still there.
std::optional<avm1::Value> effectProperty(avm1::Machine& machine, const DisplayObject& placed, std::string_view name);
bool setEffectProperty(avm1::Machine& machine, const std::function<DisplayObject*()>& placement, std::string_view name,
                       const avm1::Value& value);

} // namespace quillmere::swf
