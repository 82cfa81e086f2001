#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <random>
#include <string>
#include <string_view>
#include <unordered_set>
#include <utility>
#include <vector>

#include "swf/avm1/code.h"
#include "swf/avm1/host.h"
#include "swf/avm1/object.h"
#include "swf/avm1/value.h"

namespace quillmere::swf::avm1 {

// Runs a movie's actions on a stack of values, with objects in a heap of its own. Whatever the
// script, a run ends soon: every frame has a budget of actions shared by all the scripts it
// runs, long strings cost more of it, and the stack, strings, calls and heap are capped.
class Machine {
public:
    static constexpr std::size_t kActionsAFrame = 200'000;
    static constexpr std::size_t kMostStackValues = 4096;
    static constexpr std::size_t kLongestString = std::size_t(1) << 20;  // bytes; longer ones are cut
    static constexpr std::size_t kBytesAnAction = 256;                   // of a string pushed
    static constexpr int kDeepestCalls = 256;                            // and blocks within them
    static constexpr std::size_t kMostStackBytes = std::size_t(1) << 20; // of the thread's, for calls

    // `version`: the movie's, whose rules its scripts follow. `seed`: of random numbers.
    Machine(int version, std::uint32_t seed);
    ~Machine();
    Machine(const Machine&) = delete;
    Machine& operator=(const Machine&) = delete;

    // A new frame: its scripts share a new budget, and what no script can reach any more is freed.
    void startFrame();
    enum class Ending {
        Finished,    // at the code's end, an End or a Return
        OverBudget,  // the frame's actions ran out: this frame runs no more scripts
        Overflow,    // the stack or the calls would pass their caps
        OutOfMemory, // the heap would hold more than it may
        Thrown,      // a value thrown and not caught
    };
    // Runs a block of actions with `timeline` as its target: a clip's object, or by default
    // the main timeline's.
    Ending run(std::shared_ptr<const Code> code, Host& host, Object* timeline = nullptr);
    // Runs the intervals and time-outs due by the host's clock.
    Ending runTimers(Host& host);
    bool hasTimers() const { return !timers_.empty(); }
    double now() const; // the host's clock, 0 outside a run
    // Calls `method` of `self` once, `milliseconds` from now on the player's clock, as
    // setTimeout(self, method, milliseconds) does; none when the timers are full.
    std::optional<std::uint32_t> callLater(Value self, std::string method, double milliseconds);
    void cancelTimer(std::uint32_t id)
    {
        std::erase_if(timers_, [id](const Timer& t) { return t.id == id; });
    }
    // Where the clock of Date starts: milliseconds since 1970 when the movie started.
    void setEpoch(double milliseconds) { epoch_ = milliseconds; }
    // Whether `object` or its prototypes have a function of this name, without running a getter.
    bool hasMethod(Object* object, std::string_view name) const;
    // What scripts asked for that this player does not do, each named once: taken as read.
    std::vector<std::string> takeNotices() { return std::exchange(notices_, {}); }
    void notice(const std::string& what);
    // Calls the method `name` of `object`, if it has one: an event's handler.
    Ending callMethod(Object* object, std::string_view name, Host& host, std::vector<Value> arguments = {});
    // The class Object.registerClass gave a symbol's linkage name, whatever its case; null for none.
    Function* registeredClass(std::string_view linkage);
    bool anyRegisteredClass() const { return registeredClasses_->ownCount() > 0; }
    // Runs a registered class's constructor on a clip of its symbol, as `this`.
    Ending construct(Object* clip, Function* constructor, Host& host);

    // Charges the run going on, if any, for a search through `items` (a clip's children, for
    // one by name): one action for each kSearchedAnAction, about what an action costs. Without
    // it, on a timeline of thousands of clips, a frame of lookups took minutes.
    static constexpr std::size_t kSearchedAnAction = 4;
    void chargeSearch(std::size_t items);

    // The object of a timeline placed on the stage: kept until released, whatever reaches it.
    Object* makeClip();
    // Keeps an object from freeing until released, whatever reaches it.
    void keep(Object* object) { clips_.insert(object); }
    void release(Object* clip);
    // The main timeline's object, whose variables scripts share.
    Object* root() const { return timeline_; }
    Object* global() const { return global_; }
    Object* movieClipPrototype() const { return movieClipPrototype_; }
    Object* objectPrototype() const { return objectPrototype_; }
    // The player's own functions: a method of `on`, and a class whose constructor `construct`
    // is run on the object `new` makes. Both are hidden from enumeration.
    void defineMethod(Object* on, std::string_view name, Function::Native native);
    Function* defineClass(Object* on, std::string_view name, Object* prototype, Function::Native construct);
    // Gives `object` AsBroadcaster's listeners and methods, as AsBroadcaster.initialize does.
    void makeBroadcaster(Object* object);

    // A variable as a script of `timeline` (the main one when null) names it: of the timeline,
    // or else of _global; or along a path, "_root.a.x", "/a:x".
    Value variable(std::string_view name, Object* timeline = nullptr);
    void setVariable(std::string_view name, Value value, Object* timeline);
    const Conversions& conversions() const { return convert_; }
    std::size_t objects() const { return heap_.objects(); }

    // For the player's own functions.
    std::string toString(const Value& value);
    double toNumber(const Value& value);
    Value member(const Value& object, std::string_view name);
    void setMember(const Value& object, std::string_view name, Value value);
    Value call(const Value& function, const Value& self, std::vector<Value>& arguments);
    Object* makeObject(Object* prototype);
    // An object of the player's own kind, in the heap; the run ends when the heap is full.
    template <typename T>
    T* make(Object* prototype)
    {
        T* made = heap_.make<T>();
        if (!made)
            halt(Ending::OutOfMemory);
        made->prototype = prototype;
        return made;
    }
    Array* makeArray();
    Function* makeNative(Function::Native native);
    std::mt19937& random() { return random_; }
    std::string key(std::string_view name) const; // names are case-blind up to version 6
    // Ends the run of scripts now, as `ending` says: for natives past a cap of their own.
    [[noreturn]] void halt(Ending ending) const;

private:
    struct Activation;
    enum class Flow { End, Return, Exit };
    struct Halt; // unwinds every call when a run must end
    struct Thrown;
    struct Deeper;

    // Runs `body` under the frame's budget, ending it as a run ends.
    Ending guarded(Host& host, const std::function<void()>& body);
    Flow execute(Activation& activation, std::uint32_t start, std::uint32_t end, std::uint32_t& resume);
    void spend(std::size_t actions);
    Value pop();
    void push(Value value);
    Value primitive(const Value& value); // an object's valueOf, or toString for a string hint
    Value boolean(bool value) const;     // version 4 had no booleans: 1 and 0
    bool looselyEquals(const Value& a, const Value& b);
    Value lessThan(const Value& a, const Value& b);
    Object* prototypeOf(const Value& value) const;    // an object's, or its kind's for a primitive
    bool has(Object* object, const std::string& key); // as its own, its prototypes', or a clip's
    // A clip's display property by its name in any case; none for another name or object.
    std::optional<Value> displayProperty(Object* object, std::string_view name);
    // The clip a target path names, from the activation's target: "/a/b", "_root.a", "../b".
    Object* resolveTarget(Activation& activation, std::string_view path);
    // The clip and frame of "target:frame", or of a frame of the current target.
    std::pair<Clip*, std::string> frameOnTarget(Activation& activation, const std::string& given);
    Value superOf(Activation& activation); // `super` where a method runs
    Value lookUp(Object* object, const std::string& key, const Value& self);
    bool instanceOf(const Value& value, const Value& constructor);
    Value construct(const Value& constructor, std::vector<Value>& arguments);
    Value getVariable(Activation& activation, const std::string& name);
    void setVariable(Activation& activation, const std::string& name, Value value);
    Function* define(Activation& activation, std::uint32_t at);
    std::vector<Value> popArguments();
    std::string capped(std::string text) const;
    void installBuiltins();
    void installGeometry();
    void installArraySorting(Object* arrayClass);
    void installTimers();
    void installRefusals();

    Conversions convert_;
    Heap heap_;
    std::size_t actionsLeft_ = kActionsAFrame;
    std::vector<Value> stack_;
    std::vector<Value> globalRegisters_;
    std::vector<std::string> pool_;
    Object* global_ = nullptr;
    Object* timeline_ = nullptr;        // the main timeline's variables
    std::unordered_set<Object*> clips_; // the timelines' objects, kept from freeing
    Object* objectPrototype_ = nullptr;
    Object* functionPrototype_ = nullptr;
    Object* arrayPrototype_ = nullptr;
    Object* stringPrototype_ = nullptr;
    Object* numberPrototype_ = nullptr;
    Object* booleanPrototype_ = nullptr;
    Object* movieClipPrototype_ = nullptr;
    Object* registeredClasses_ = nullptr; // by linkage name in lower case
    int depth_ = 0;
    std::uintptr_t stackBase_ = 0;      // where the outermost run began, 0 outside one
    std::optional<Object*> superClass_; // for the call a super call makes
    Host* host_ = nullptr;
    std::mt19937 random_;
    struct Timer {
        std::uint32_t id = 0;
        Value function;     // called, or else
        Value self;         // this object's
        std::string method; // method
        double period = 0, due = 0;
        bool repeat = false;
        std::vector<Value> arguments;
    };
    static constexpr std::size_t kMostTimers = 1000;
    static constexpr std::size_t kMostTimerBytes = std::size_t(64) << 10; // in the strings each passes on
    std::vector<Timer> timers_;
    std::uint32_t lastTimer_ = 0;
    std::optional<std::uint32_t> addTimer(Timer timer);
    double epoch_ = 0;
    std::vector<std::string> notices_;
    std::unordered_set<std::string> noticed_;
};

} // namespace quillmere::swf::avm1
