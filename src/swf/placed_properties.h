#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string_view>

#include "swf/avm1/natives.h"
#include "swf/player.h"

namespace quillmere::swf {

// What scripts read and write of where a placed clip or text field is and how it looks.
inline constexpr std::string_view kPlacedProperties[]
    = {"_x", "_y", "_xscale", "_yscale", "_rotation", "_alpha", "_visible", "_width", "_height", "_name"};
bool isPlacedProperty(std::string_view name);
// None for another name. Without a placement (the main timeline), as the stage has it, but
// for the size, which the caller knows.
std::optional<avm1::Value> placedProperty(const DisplayObject* placed, std::string_view name);
// Sets one of the placement `placement` finds once `value` is converted, which may run a script
// that removes it or places it anew; whether what is drawn changed. A name changes nothing
// drawn, nor does what is not a number given for one, nor anything once the placement is gone.
bool setPlacedProperty(avm1::Machine& machine, const std::function<DisplayObject*()>& placement, std::string_view name,
                       const avm1::Value& value);

// What players show of a number given to a property: twips are whole.
double twips(double pixels);

// The object of a button or text field: which clip holds it, and its placement's instance there.
class PlacedObject : public avm1::Object {
public:
    using Object::Object;
    std::weak_ptr<TimelinePlayer> owner;
    std::uint64_t instance = 0;
};
DisplayObject* findPlacement(const PlacedObject& object);
// The object's placement, and the object as a `T`; nulls for another value, or once it has gone.
template <typename T = PlacedObject>
std::pair<T*, DisplayObject*> placementOf(const avm1::Value& self)
{
    auto* object = dynamic_cast<T*>(avm1::objectIn(self));
    return {object, object ? findPlacement(*object) : nullptr};
}
// Gives the objects of `prototype` the placed properties, as accessors.
void installPlacedProperties(avm1::Machine& machine, avm1::Object* prototype);

} // namespace quillmere::swf
