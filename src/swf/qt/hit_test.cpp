#include "swf/qt/hit_test.h"

#include <variant>

#include "swf/qt/convert.h"
#include "swf/qt/coverage.h"
#include "swf/qt/outlines.h"

namespace quillmere::swf::qt {

namespace {

// The button under `point` in `list`, which `parent` maps to the device, as buttonAt finds it.
std::uint64_t hitIn(const DisplayList& list, const QTransform& parent, const QTransform& stage, QPointF point,
                    Outlines& outlines);

// The button one character holds under the point, or 0: one member for each kind of
// character, so that a new kind does not compile until it says whether it can be clicked.
struct Hit {
    const DisplayObject& object;
    const QTransform& transform;
    const QTransform& stage; // the stage's twips to the device's pixels
    QPointF point;
    Outlines& outlines;

    std::uint64_t operator()(const Button&) const
    {
        if (object.button)
            for (const auto& [depth, part] : object.button->states[Button::HitTest])
                if (coverage(part, transform, outlines).contains(point))
                    return object.instance;
        return 0;
    }
    std::uint64_t operator()(const Sprite&) const
    {
        if (!object.sprite)
            return 0;
        const QTransform content = scrolledContent(object, transform);
        // A clip whose scripts take the pointer takes it over all it shows, buttons included, or
        // over the fills of the clip its script made its hit area.
        if (object.sprite->handlesPointer()) {
            if (const std::shared_ptr<const TimelinePlayer> area = object.hitArea.lock()) {
                const DisplayObject* placed = area->placed();
                return placed && coverage(*placed, toQt(area->parentToStage()) * stage, outlines).contains(point)
                           ? object.instance
                           : 0;
            }
            for (const auto& [depth, child] : object.sprite->displayList())
                if (!child.clipDepth && !child.isMask && coverage(child, content, outlines).contains(point))
                    return object.instance;
        }
        return hitIn(object.sprite->displayList(), content, stage, point, outlines);
    }
    // Only buttons take clicks; whatever else lies above them lets the pointer through.
    std::uint64_t operator()(const Shape&) const { return 0; }
    std::uint64_t operator()(const MorphShape&) const { return 0; }
    std::uint64_t operator()(const Text&) const { return 0; }
    std::uint64_t operator()(const EditText&) const { return 0; }
    std::uint64_t operator()(const Bitmap&) const { return 0; }
    std::uint64_t operator()(const Font&) const { return 0; }
};

std::uint64_t hitIn(const DisplayList& list, const QTransform& parent, const QTransform& stage, QPointF point,
                    Outlines& outlines)
{
    for (auto entry = list.rbegin(); entry != list.rend(); ++entry) { // topmost first
        const DisplayObject& object = entry->second;
        if (!object.character || !object.effects.visible) // what cannot be seen cannot be clicked
            continue;
        const QTransform transform = toQt(object.matrix) * parent;
        if (const std::uint64_t found = std::visit(Hit{object, transform, stage, point, outlines}, *object.character))
            return found;
    }
    return 0;
}

} // namespace

std::uint64_t buttonAt(const DisplayList& list, const QTransform& stage, QPointF point, Outlines& outlines)
{
    return hitIn(list, stage, stage, point, outlines);
}

} // namespace quillmere::swf::qt
