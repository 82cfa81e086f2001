#pragma once

#include <optional>
#include <string_view>

#include "swf/avm1/machine.h"
#include "swf/player.h"

namespace quillmere::swf {

// What scripts read and write of where a placed clip or text field is and how it looks.
inline constexpr std::string_view kPlacedProperties[]
    = {"_x", "_y", "_xscale", "_yscale", "_rotation", "_alpha", "_visible", "_width", "_height", "_name"};
bool isPlacedProperty(std::string_view name);
// None for another name. Without a placement (the main timeline), as the stage has it, but
// for the size, which the caller knows.
std::optional<avm1::Value> placedProperty(const DisplayObject* placed, std::string_view name);
// Whether a number given to a property that needs one changed it.
bool setPlacedProperty(avm1::Machine& machine, DisplayObject& placed, std::string_view name, const avm1::Value& value);

// What players show of a number given to a property: twips are whole.
double twips(double pixels);

} // namespace quillmere::swf
