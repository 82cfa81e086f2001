#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "swf/avm1/host.h"
#include "swf/avm1/value.h"

namespace quillmere::swf::avm1 {

class Object;

// A timeline on the stage as its scripts see it, through its object: the display properties
// (`_x`, `_alpha`, `_currentframe`...) and the children it holds by instance name. Its frame
// actions (play, stop, goto) go to it whichever script asks.
class Clip : public Host {
public:
    // A display property (`_x`, `scrollRect`...) by its name in lower case: none when the name is
    // not one, and the object's own properties are looked at.
    virtual std::optional<Value> property(std::string_view name) = 0;
    // False when the name is not a display property, which is then an ordinary one.
    virtual bool setProperty(std::string_view name, const Value& value) = 0;
    // The object of the child placed with this instance name, or null.
    virtual Object* child(std::string_view name) = 0;
    virtual Object* parent() = 0;
};

} // namespace quillmere::swf::avm1
