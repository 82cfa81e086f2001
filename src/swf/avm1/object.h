#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "swf/avm1/code.h"
#include "swf/avm1/value.h"

namespace quillmere::swf::avm1 {

class Clip;
class Heap;
class Machine;

struct Property {
    enum Flag : std::uint8_t { DontEnum = 1, DontDelete = 2, ReadOnly = 4 };
    Value value;
    std::uint8_t flags = 0;
    Object* getter = nullptr; // addProperty's: the value is what they give and take
    Object* setter = nullptr;
    std::uint64_t made = 0; // enumeration goes from the latest made
};

// An object of the scripts: its own properties and its prototype. Names are taken as the
// machine gives them, already folded where the movie's version ignores case.
class Object {
public:
    explicit Object(Heap& heap) : heap_(heap) {}
    virtual ~Object(); // gives its properties' cost back to the heap
    Object(const Object&) = delete;
    Object& operator=(const Object&) = delete;

    Object* prototype = nullptr;
    // Set while the object stands for a timeline on the stage.
    Clip* clip = nullptr;

    const Property* own(const std::string& key) const;
    // Sets an own property's value, made with `flags` if new. False when it is read-only, or
    // when the heap may hold no more.
    virtual bool put(const std::string& key, Value value, std::uint8_t flags = 0);
    bool putAccessor(const std::string& key, Object* getter, Object* setter);
    // False when the property may not be deleted.
    virtual bool remove(const std::string& key);
    void setFlags(const std::string& key, std::uint8_t set, std::uint8_t clear);
    // The enumerable own names, the latest made first.
    std::vector<std::string> keys() const;
    std::size_t ownCount() const { return properties_.size(); } // hidden ones too
    // What typeof says of it.
    virtual std::string_view typeName() const { return clip ? "movieclip" : "object"; }
    // Adds the objects this one holds to `found`.
    virtual void references(std::vector<Object*>& found) const;

    bool marked = false;

protected:
    // Every own name, hidden ones too, in no order.
    std::vector<std::string> allKeys() const;

    Heap& heap_;

private:
    std::unordered_map<std::string, Property> properties_;
    std::uint64_t made_ = 0;
};

// A function: a script's, defined by DefineFunction or DefineFunction2, or one of the
// player's own.
class Function : public Object {
public:
    using Native = std::function<Value(Machine&, Value self, std::vector<Value>& arguments)>;

    explicit Function(Heap& heap) : Object(heap) {}

    std::string_view typeName() const override { return "function"; }
    void references(std::vector<Object*>& found) const override;

    // A script's: its body is code.instructions[start, end), run in `scope` with `timeline`
    // as its target.
    std::shared_ptr<const Code> code;
    std::shared_ptr<const std::vector<std::string>> pool; // the constants its pushes name
    std::uint32_t start = 0, end = 0;
    std::shared_ptr<const FunctionDefinition> definition;
    std::vector<Object*> scope;
    Object* timeline = nullptr;
    // The player's own.
    Native native;
};

// `super` in a method or constructor: the object it was called on, seen from the prototype above
// the one the method belongs to. Its methods run on that object; called itself, it runs the
// constructor of the class above.
class SuperObject : public Object {
public:
    explicit SuperObject(Heap& heap) : Object(heap) {}
    void references(std::vector<Object*>& found) const override;

    Object* self = nullptr;
    Object* from = nullptr; // where its methods are looked up
    Object* constructor = nullptr;
};

// An array: its elements are the properties named by their indices, and "length" follows them.
class Array : public Object {
public:
    explicit Array(Heap& heap);

    bool put(const std::string& key, Value value, std::uint8_t flags = 0) override;
    std::size_t length() const { return length_; }

private:
    std::size_t length_ = 0;
};

// Owns every object of a movie's scripts, within caps that bound what a script may hold; frees
// those no longer reached, between frames.
class Heap {
public:
    static constexpr std::size_t kMostObjects = 100'000;
    static constexpr std::size_t kMostProperties = 1'000'000;
    static constexpr std::size_t kMostHeldBytes = std::size_t(64) << 20; // in names and strings
    static constexpr std::size_t kLongestArray = 1'000'000;

    Heap() = default;
    ~Heap();
    Heap(const Heap&) = delete;
    Heap& operator=(const Heap&) = delete;

    // A new object, or null when the heap holds as many as it may.
    template <typename T>
    T* make()
    {
        garbageMayWait_ = false;
        if (objects_.size() >= kMostObjects)
            return nullptr;
        auto object = std::make_unique<T>(*this);
        T* made = object.get();
        objects_.push_back(std::move(object));
        return made;
    }

    // Frees every object that `roots` do not reach. Skipped when, since the last time, nothing
    // was made and no cap refused: what became unreachable meanwhile holds no more than it did,
    // and a banner that makes nothing a frame pays nothing for its heap.
    void collect(const std::vector<Object*>& roots);
    std::size_t objects() const { return objects_.size(); }

    // Counts properties and the bytes of their names and strings: false, and nothing spent,
    // past the caps.
    bool spend(std::size_t bytes, std::size_t properties);
    void refund(std::size_t bytes, std::size_t properties);
    // Whether a spend was refused since last asked.
    bool refused() { return std::exchange(refused_, false); }

private:
    bool refused_ = false;
    bool garbageMayWait_ = false;
    std::vector<std::unique_ptr<Object>> objects_;
    std::size_t properties_ = 0;
    std::size_t heldBytes_ = 0;
};

} // namespace quillmere::swf::avm1
