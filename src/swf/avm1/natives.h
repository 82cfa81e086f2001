#pragma once

#include <cstddef>
#include <vector>

#include "swf/avm1/value.h"

// Helpers for the player's own functions, which take their arguments as scripts give them:
// any number, of any kind.
namespace quillmere::swf::avm1 {

class Object;

using Arguments = std::vector<Value>;

inline Value argument(const Arguments& arguments, std::size_t index)
{
    return index < arguments.size() ? arguments[index] : Value(Undefined{});
}

inline Object* objectIn(const Value& value)
{
    Object* const* object = std::get_if<Object*>(&value);
    return object ? *object : nullptr;
}

} // namespace quillmere::swf::avm1
