#include "swf/avm1/object.h"

#include <algorithm>
#include <charconv>
#include <optional>

namespace quillmere::swf::avm1 {

namespace {

std::size_t costOf(const std::string& key, const Value& value)
{
    const auto* text = std::get_if<std::string>(&value);
    return key.size() + (text ? text->size() : 0);
}

// The index a property name stands for in an array, if it is one: digits without a leading 0.
std::optional<std::size_t> indexOf(const std::string& key)
{
    if (key.empty() || key.size() > 9 || (key.size() > 1 && key.front() == '0'))
        return std::nullopt;
    std::size_t index = 0;
    const auto [end, error] = std::from_chars(key.data(), key.data() + key.size(), index);
    if (error != std::errc() || end != key.data() + key.size())
        return std::nullopt;
    return index;
}

const std::string kLength = "length";

} // namespace

Object::~Object()
{
    for (const auto& [key, property] : properties_)
        heap_.refund(costOf(key, property.value), 1);
}

const Property* Object::own(const std::string& key) const
{
    const auto found = properties_.find(key);
    return found == properties_.end() ? nullptr : &found->second;
}

bool Object::put(const std::string& key, Value value, std::uint8_t flags)
{
    const auto found = properties_.find(key);
    if (found == properties_.end()) {
        if (!heap_.spend(costOf(key, value), 1))
            return false;
        Property& made = properties_[key];
        made.value = std::move(value);
        made.flags = flags;
        made.made = made_++;
        return true;
    }
    Property& property = found->second;
    if (property.flags & Property::ReadOnly)
        return false;
    const std::size_t before = costOf(key, property.value), after = costOf(key, value);
    if (after > before && !heap_.spend(after - before, 0))
        return false;
    if (after < before)
        heap_.refund(before - after, 0);
    property.value = std::move(value);
    property.getter = property.setter = nullptr;
    return true;
}

bool Object::putAccessor(const std::string& key, Object* getter, Object* setter)
{
    if (!put(key, Undefined{}))
        return false;
    Property& property = properties_[key];
    property.getter = getter;
    property.setter = setter;
    return true;
}

bool Object::remove(const std::string& key)
{
    const auto found = properties_.find(key);
    if (found == properties_.end())
        return false;
    if (found->second.flags & Property::DontDelete)
        return false;
    heap_.refund(costOf(key, found->second.value), 1);
    properties_.erase(found);
    return true;
}

void Object::setFlags(const std::string& key, std::uint8_t set, std::uint8_t clear)
{
    if (const auto found = properties_.find(key); found != properties_.end())
        found->second.flags = std::uint8_t((found->second.flags | set) & ~clear);
}

std::vector<std::string> Object::keys() const
{
    std::vector<std::pair<std::uint64_t, const std::string*>> made;
    for (const auto& [key, property] : properties_)
        if (!(property.flags & Property::DontEnum))
            made.emplace_back(property.made, &key);
    std::sort(made.begin(), made.end(), [](const auto& a, const auto& b) { return a.first > b.first; });
    std::vector<std::string> out;
    out.reserve(made.size());
    for (const auto& [order, key] : made)
        out.push_back(*key);
    return out;
}

void Object::references(std::vector<Object*>& found) const
{
    if (prototype)
        found.push_back(prototype);
    for (const auto& [key, property] : properties_) {
        if (Object* const* object = std::get_if<Object*>(&property.value))
            found.push_back(*object);
        if (property.getter)
            found.push_back(property.getter);
        if (property.setter)
            found.push_back(property.setter);
    }
}

std::vector<std::string> Object::allKeys() const
{
    std::vector<std::string> out;
    out.reserve(properties_.size());
    for (const auto& [key, property] : properties_)
        out.push_back(key);
    return out;
}

void Function::references(std::vector<Object*>& found) const
{
    Object::references(found);
    found.insert(found.end(), scope.begin(), scope.end());
    if (timeline)
        found.push_back(timeline);
}

void SuperObject::references(std::vector<Object*>& found) const
{
    Object::references(found);
    for (Object* held : {self, from, constructor})
        if (held)
            found.push_back(held);
}

Array::Array(Heap& heap) : Object(heap)
{
    Object::put(kLength, 0.0, Property::DontEnum | Property::DontDelete);
}

bool Array::put(const std::string& key, Value value, std::uint8_t flags)
{
    if (key == kLength) {
        const double* number = std::get_if<double>(&value);
        if (!number || !(*number >= 0) || *number > double(Heap::kLongestArray))
            return false;
        const auto length = std::size_t(*number);
        if (length_ - std::min(length, length_) <= ownCount()) {
            for (std::size_t index = length; index < length_; ++index)
                remove(std::to_string(index));
        } else { // far shorter than it was, but with few elements: only those there go
            for (const std::string& name : allKeys())
                if (const std::optional<std::size_t> index = indexOf(name); index && *index >= length)
                    remove(name);
        }
        length_ = length;
        return Object::put(kLength, double(length_));
    }
    const std::optional<std::size_t> index = indexOf(key);
    if (!Object::put(key, std::move(value), flags))
        return false;
    if (index && *index < Heap::kLongestArray && *index >= length_) {
        length_ = *index + 1;
        Object::put(kLength, double(length_));
    }
    return true;
}

Heap::~Heap()
{
    objects_.clear(); // while the counts they give back to are here
}

bool Heap::spend(std::size_t bytes, std::size_t properties)
{
    if (properties_ + properties > kMostProperties || heldBytes_ + bytes > kMostHeldBytes) {
        refused_ = true;
        garbageMayWait_ = false;
        return false;
    }
    properties_ += properties;
    heldBytes_ += bytes;
    return true;
}

void Heap::refund(std::size_t bytes, std::size_t properties)
{
    heldBytes_ -= std::min(heldBytes_, bytes);
    properties_ -= std::min(properties_, properties);
}

void Heap::collect(const std::vector<Object*>& roots)
{
    if (std::exchange(garbageMayWait_, true))
        return;
    std::vector<Object*> grey(roots.begin(), roots.end());
    while (!grey.empty()) {
        Object* object = grey.back();
        grey.pop_back();
        if (!object || object->marked)
            continue;
        object->marked = true;
        object->references(grey);
    }
    std::erase_if(objects_, [](const std::unique_ptr<Object>& object) { return !object->marked; });
    for (const auto& object : objects_)
        object->marked = false;
}

} // namespace quillmere::swf::avm1
