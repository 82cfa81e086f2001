#include "swf/avm1/machine.h"

#include <algorithm>
#include <cmath>
#include <optional>

#include "swf/avm1/clip.h"
#include "swf/avm1/natives.h"
#include "swf/avm1/strings.h"

namespace quillmere::swf::avm1 {

// A call of a script's function, or the block of actions a run started with.
struct Machine::Activation {
    std::shared_ptr<const Code> code;
    std::shared_ptr<const std::vector<std::string>> pool;
    std::vector<Value>* registers = nullptr;
    std::vector<Value> ownRegisters;
    std::vector<Object*> scope; // innermost last: the function's locals, then With's objects
    Object* locals = nullptr;   // what DefineLocal defines in: the function's, or the timeline
    Value self;                 // this
    Object* timeline = nullptr;
    Object* ownTimeline = nullptr; // the timeline before SetTarget
    Object* ownClass = nullptr;    // the prototype of the class whose method runs, for `super`
    Value returned;
};

struct Machine::Halt {
    Ending ending;
};

struct Machine::Thrown {
    Value value;
};

// One level deeper in calls and blocks for as long as it lives; past the cap, the run ends. So
// does a run whose calls hold more of the thread's stack than it may: a build whose frames are
// larger (an instrumented one) reaches that before the cap.
struct Machine::Deeper {
    explicit Deeper(Machine& machine) : depth(machine.depth_)
    {
        const char here = 0;
        const std::uintptr_t used = machine.stackBase_ - reinterpret_cast<std::uintptr_t>(&here);
        if (++depth > kDeepestCalls || (machine.stackBase_ && used > kMostStackBytes)) {
            --depth;
            machine.halt(Ending::Overflow);
        }
    }
    ~Deeper() { --depth; }
    Deeper(const Deeper&) = delete;
    Deeper& operator=(const Deeper&) = delete;
    int& depth;
};

namespace {

// GetProperty's and SetProperty's numbers for the display properties.
constexpr const char* kPropertyNames[] = {
    "_x",          "_y",     "_xscale",      "_yscale",    "_currentframe", "_totalframes",  "_alpha",
    "_visible",    "_width", "_height",      "_rotation",  "_target",       "_framesloaded", "_name",
    "_droptarget", "_url",   "_highquality", "_focusrect", "_soundbuftime", "_quality",      "_xmouse",
    "_ymouse",
};
// CloneSprite's depths count from the bottom of those scripts place on, as duplicateMovieClip's
// do from 0.
constexpr double kFirstScriptDepth = 16384;

constexpr std::size_t kActionsAThrow = 100;      // unwinding costs more than an action
constexpr std::size_t kActionsACalledFrame = 20; // so does starting a run of a frame's actions
// Prototype chains are followed this far: a script may make one that loops.
constexpr int kLongestChain = 256;

// Which of DefineFunction2's registers it fills before the body runs.
enum Preload : std::uint16_t {
    PreloadThis = 0x0001,
    SuppressThis = 0x0002,
    PreloadArguments = 0x0004,
    SuppressArguments = 0x0008,
    PreloadSuper = 0x0010,
    SuppressSuper = 0x0020,
    PreloadRoot = 0x0040,
    PreloadParent = 0x0080,
    PreloadGlobal = 0x0100,
};

} // namespace

Machine::Machine(int version, std::uint32_t seed) : convert_(version), globalRegisters_(4), random_(seed)
{
    installBuiltins();
    installGeometry();
    installTimers();
    installRefusals();
}

Machine::~Machine() = default;

void Machine::halt(Ending ending) const
{
    throw Halt{ending};
}

void Machine::spend(std::size_t actions)
{
    if (actionsLeft_ < actions) {
        actionsLeft_ = 0;
        halt(Ending::OverBudget);
    }
    actionsLeft_ -= actions;
}

void Machine::chargeSearch(std::size_t items)
{
    if (stackBase_ != 0 && items >= kSearchedAnAction) // outside a run, the host's own lookups are few
        spend(items / kSearchedAnAction);
}

void Machine::startFrame()
{
    actionsLeft_ = kActionsAFrame;
    std::vector<Object*> roots{
        global_,          timeline_,        objectPrototype_,  functionPrototype_,  arrayPrototype_,
        stringPrototype_, numberPrototype_, booleanPrototype_, movieClipPrototype_, registeredClasses_};
    for (const Value& value : globalRegisters_)
        if (Object* object = objectIn(value))
            roots.push_back(object);
    roots.insert(roots.end(), clips_.begin(), clips_.end());
    for (const Timer& timer : timers_) {
        for (const Value* value : {&timer.function, &timer.self})
            if (Object* object = objectIn(*value))
                roots.push_back(object);
        for (const Value& value : timer.arguments)
            if (Object* object = objectIn(value))
                roots.push_back(object);
    }
    heap_.collect(roots);
}

Value Machine::pop()
{
    if (stack_.empty())
        return Undefined{};
    Value top = std::move(stack_.back());
    stack_.pop_back();
    return top;
}

void Machine::push(Value value)
{
    if (stack_.size() >= kMostStackValues)
        halt(Ending::Overflow);
    // A string is copied to be pushed: a long one costs as many actions as it has bytes in 256,
    // so that copying long strings over and over cannot hold the frame for seconds.
    if (const auto* text = std::get_if<std::string>(&value))
        spend(text->size() / kBytesAnAction);
    stack_.push_back(std::move(value));
}

std::string Machine::key(std::string_view name) const
{
    return convert_.version() <= 6 ? lowerCase(name) : std::string(name);
}

std::string Machine::capped(std::string text) const
{
    if (text.size() > kLongestString)
        text.resize(kLongestString);
    return text;
}

Value Machine::boolean(bool value) const
{
    return convert_.version() >= 5 ? Value(value) : Value(value ? 1.0 : 0.0);
}

Object* Machine::makeObject(Object* prototype)
{
    Object* object = heap_.make<Object>();
    if (!object)
        halt(Ending::OutOfMemory);
    object->prototype = prototype;
    return object;
}

Array* Machine::makeArray()
{
    Array* array = heap_.make<Array>();
    if (!array)
        halt(Ending::OutOfMemory);
    array->prototype = arrayPrototype_;
    return array;
}

Function* Machine::makeNative(Function::Native native)
{
    Function* function = heap_.make<Function>();
    if (!function)
        halt(Ending::OutOfMemory);
    function->prototype = functionPrototype_;
    function->native = std::move(native);
    return function;
}

Object* Machine::prototypeOf(const Value& value) const
{
    if (Object* object = objectIn(value))
        return object;
    if (std::holds_alternative<std::string>(value))
        return stringPrototype_;
    if (std::holds_alternative<double>(value))
        return numberPrototype_;
    if (std::holds_alternative<bool>(value))
        return booleanPrototype_;
    return nullptr;
}

bool Machine::has(Object* object, const std::string& key)
{
    // Its own and its prototypes' first: searching a clip's children costs more.
    Object* const clip = object && object->clip ? object : nullptr;
    for (int hops = 0; object && hops < kLongestChain; ++hops, object = object->prototype)
        if (object->own(key))
            return true;
    return clip && (displayProperty(clip, key) || clip->clip->child(key));
}

Value Machine::lookUp(Object* object, const std::string& key, const Value& self)
{
    for (int hops = 0; object && hops < kLongestChain; ++hops, object = object->prototype) {
        const Property* property = object->own(key);
        if (!property)
            continue;
        if (property->getter) {
            std::vector<Value> none;
            return call(property->getter, self, none);
        }
        return property->value;
    }
    return Undefined{};
}

std::optional<Value> Machine::displayProperty(Object* object, std::string_view name)
{
    if (!object->clip || name.empty())
        return std::nullopt;
    return object->clip->property(lowerCase(name)); // display properties ignore case in every version
}

Value Machine::member(const Value& value, std::string_view name)
{
    const std::string k = key(name);
    if (const auto* text = std::get_if<std::string>(&value); text && k == "length")
        return double(characterCount(*text, convert_.version() >= 6));
    Object* object = objectIn(value);
    if (object && k == "__proto__")
        return object->prototype ? Value(object->prototype) : Value(Undefined{});
    if (object && object->clip) {
        // A clip's display properties, then its own properties, then its children by name.
        if (std::optional<Value> shown = displayProperty(object, k))
            return *shown;
        if (!object->own(k))
            if (Object* child = object->clip->child(k))
                return child;
    }
    return lookUp(prototypeOf(value), k, value);
}

void Machine::setMember(const Value& value, std::string_view name, Value assigned)
{
    Object* object = objectIn(value);
    if (!object)
        return; // a primitive's properties cannot be set
    const std::string k = key(name);
    if (k == "__proto__") {
        object->prototype = objectIn(assigned);
        return;
    }
    if (object->clip && !k.empty()) {
        if (object->clip->setProperty(lowerCase(k), assigned))
            return;
    }
    int hops = 0;
    for (Object* holder = object; holder && hops < kLongestChain; holder = holder->prototype, ++hops) {
        const Property* property = holder->own(k);
        if (property && property->setter) {
            std::vector<Value> arguments{std::move(assigned)};
            call(property->setter, value, arguments);
            return;
        }
        if (property)
            break;
    }
    if (!object->put(k, std::move(assigned)) && heap_.refused())
        halt(Ending::OutOfMemory);
}

Value Machine::primitive(const Value& value)
{
    Object* object = objectIn(value);
    if (!object)
        return value;
    for (const char* method : {"valueOf", "toString"}) {
        const Value function = member(value, method);
        if (!objectIn(function))
            continue;
        std::vector<Value> none;
        Value result = call(function, value, none);
        if (!objectIn(result))
            return result;
    }
    return std::string(object->typeName() == "function" ? "[type Function]" : "[object Object]");
}

std::string Machine::toString(const Value& value)
{
    if (Object* object = objectIn(value)) {
        const Value function = member(value, "toString");
        if (objectIn(function)) {
            std::vector<Value> none;
            const Value result = call(function, value, none);
            if (!objectIn(result))
                return convert_.toString(result);
        }
        return object->typeName() == "function" ? "[type Function]" : "[object Object]";
    }
    return convert_.toString(value);
}

double Machine::toNumber(const Value& value)
{
    return convert_.toNumber(primitive(value));
}

bool Machine::looselyEquals(const Value& a, const Value& b)
{
    const auto isNothing
        = [](const Value& v) { return std::holds_alternative<Undefined>(v) || std::holds_alternative<Null>(v); };
    if (isNothing(a) || isNothing(b))
        return isNothing(a) && isNothing(b);
    if (a.index() == b.index()) {
        if (const auto* x = std::get_if<double>(&a))
            return *x == std::get<double>(b);
        return a == b;
    }
    if (objectIn(a) || objectIn(b)) {
        const Value x = primitive(a), y = primitive(b);
        return !objectIn(x) && !objectIn(y) && looselyEquals(x, y);
    }
    // A boolean compares as its number, a string with a number as the number it reads as.
    return convert_.toNumber(a) == convert_.toNumber(b);
}

Value Machine::lessThan(const Value& a, const Value& b)
{
    const Value x = primitive(a), y = primitive(b);
    const auto* s = std::get_if<std::string>(&x);
    const auto* t = std::get_if<std::string>(&y);
    if (s && t)
        return *s < *t;
    const double m = convert_.toNumber(x), n = convert_.toNumber(y);
    if (std::isnan(m) || std::isnan(n))
        return Undefined{};
    return m < n;
}

bool Machine::instanceOf(const Value& value, const Value& constructor)
{
    Object* object = objectIn(value);
    const Object* prototype = objectIn(member(constructor, "prototype"));
    if (!object || !prototype)
        return false;
    int hops = 0;
    for (Object* above = object->prototype; above && hops < kLongestChain; above = above->prototype, ++hops)
        if (above == prototype)
            return true;
    return false;
}

Value Machine::call(const Value& callee, const Value& self, std::vector<Value>& arguments)
{
    // The class whose method this is, for `super`: the object's own, or the one a super call
    // went up to.
    Object* const ownClass = std::exchange(superClass_, std::nullopt).value_or([&]() -> Object* {
        Object* object = objectIn(self);
        return object ? object->prototype : nullptr;
    }());
    auto* function = dynamic_cast<Function*>(objectIn(callee));
    if (!function)
        return Undefined{};
    spend(1);
    const Deeper deeper(*this);
    if (function->native)
        return function->native(*this, self, arguments);

    const FunctionDefinition& definition = *function->definition;
    Activation activation;
    activation.code = function->code;
    activation.pool = function->pool;
    activation.ownRegisters.resize(definition.function2 ? std::max<std::size_t>(definition.registerCount, 1) : 4);
    activation.registers = &activation.ownRegisters;
    activation.timeline = activation.ownTimeline = function->timeline;
    activation.self = objectIn(self) ? self : Value(function->timeline);
    activation.locals = makeObject(nullptr);
    activation.scope = function->scope;
    activation.scope.push_back(activation.locals);

    const bool function2 = definition.function2;
    const std::uint16_t flags = function2 ? definition.flags : std::uint16_t(0);
    Value list = Undefined{};
    if (!(flags & SuppressArguments)) {
        Array* made = makeArray();
        for (std::size_t i = 0; i < arguments.size(); ++i)
            made->put(std::to_string(i), arguments[i]);
        made->put("callee", Value(function), Property::DontEnum);
        list = made;
        if (!(flags & PreloadArguments))
            activation.locals->put("arguments", list);
    }
    // DefineFunction2 preloads what it asks for into registers 1, 2... in this order.
    std::size_t next = 1;
    const auto preload = [&](std::uint16_t flag, Value value) {
        if ((flags & flag) && next < activation.ownRegisters.size())
            activation.ownRegisters[next++] = std::move(value);
    };
    preload(PreloadThis, activation.self);
    preload(PreloadArguments, list);
    activation.ownClass = flags & SuppressSuper ? nullptr : ownClass;
    preload(PreloadSuper, flags & PreloadSuper ? superOf(activation) : Value(Undefined{}));
    preload(PreloadRoot, Value(timeline_));
    Object* parent = function->timeline && function->timeline->clip ? function->timeline->clip->parent() : nullptr;
    preload(PreloadParent, parent ? Value(parent) : Value(Undefined{}));
    preload(PreloadGlobal, Value(global_));
    for (std::size_t i = 0; i < definition.parameters.size(); ++i) {
        Value argument = i < arguments.size() ? arguments[i] : Value(Undefined{});
        const auto& parameter = definition.parameters[i];
        if (function2 && parameter.register_ != 0 && parameter.register_ < activation.ownRegisters.size())
            activation.ownRegisters[parameter.register_] = std::move(argument);
        else if (!activation.locals->put(key(parameter.name), std::move(argument)))
            halt(Ending::OutOfMemory);
    }
    const std::size_t base = stack_.size();
    std::uint32_t resume = 0;
    execute(activation, function->start, function->end, resume);
    stack_.resize(std::min(stack_.size(), base)); // what the body left is not the caller's
    return activation.returned;
}

Value Machine::construct(const Value& constructor, std::vector<Value>& arguments)
{
    auto* function = dynamic_cast<Function*>(objectIn(constructor));
    if (!function)
        return Undefined{};
    Object* prototype = objectIn(member(constructor, "prototype"));
    Object* made = makeObject(prototype ? prototype : objectPrototype_);
    made->put("__constructor__", constructor, Property::DontEnum);
    const Value result = call(constructor, Value(made), arguments);
    return function->native && objectIn(result) ? result : Value(made);
}

std::vector<Value> Machine::popArguments()
{
    const double wanted = convert_.toNumber(pop());
    const std::size_t count = wanted > 0 ? std::size_t(std::min(wanted, double(stack_.size()))) : 0; // NaN too
    std::vector<Value> arguments;
    arguments.reserve(count);
    for (std::size_t i = 0; i < count; ++i)
        arguments.push_back(pop());
    return arguments;
}

Object* Machine::resolveTarget(Activation& activation, std::string_view path)
{
    Object* at = activation.timeline;
    if (path.empty())
        return at;
    if (path.front() == '/') {
        at = timeline_;
        path.remove_prefix(1);
    }
    while (at && !path.empty()) {
        const std::size_t end = path.find_first_of("/.:");
        const std::string_view step = path.substr(0, end);
        path.remove_prefix(end == std::string_view::npos ? path.size() : end + 1);
        if (step.empty() || step == ".")
            continue;
        const std::string k = key(step);
        if (step == ".." || k == "_parent")
            at = at->clip ? at->clip->parent() : nullptr;
        else if (k == "_root" || k == "_level0")
            at = timeline_;
        else if (k == "this")
            continue;
        else
            at = objectIn(member(Value(at), step));
    }
    return at;
}

Value Machine::getVariable(Activation& activation, const std::string& name)
{
    // A target path and a variable in it: "/a/b:x", "_root.a:x"; or a path alone: "/a/b".
    if (const auto colon = name.rfind(':'); colon != std::string::npos) {
        // The variable may be a dotted path of its own: "_level0:_root.a.x".
        const std::size_t dot = name.rfind('.');
        const std::size_t last = dot != std::string::npos && dot > colon ? dot : colon;
        Object* holder = resolveTarget(activation, std::string_view(name).substr(0, last));
        return holder ? member(Value(holder), name.substr(last + 1)) : Value(Undefined{});
    }
    if (name.find('/') != std::string::npos) {
        Object* found = resolveTarget(activation, name);
        return found ? Value(found) : Value(Undefined{});
    }
    if (const auto dot = name.find('.'); dot != std::string::npos && dot > 0 && dot + 1 < name.size()) {
        Value holder = getVariable(activation, name.substr(0, dot));
        return member(holder, name.substr(dot + 1));
    }
    const std::string k = key(name);
    if (k == "this")
        return activation.self;
    if (k == "_global")
        return global_;
    if (k == "_root" || k == "_level0")
        return timeline_;
    if (k == "super" && activation.ownClass)
        return superOf(activation);
    if (k == "_parent") {
        Object* parent = activation.timeline->clip ? activation.timeline->clip->parent() : nullptr;
        return parent ? Value(parent) : Value(Undefined{});
    }
    for (auto object = activation.scope.rbegin(); object != activation.scope.rend(); ++object)
        if (has(*object, k))
            return member(Value(*object), k);
    for (Object* holder : {activation.timeline, global_})
        if (has(holder, k))
            return member(Value(holder), k);
    return Undefined{};
}

void Machine::setVariable(Activation& activation, const std::string& name, Value value)
{
    if (const auto colon = name.rfind(':'); colon != std::string::npos) {
        if (Object* holder = resolveTarget(activation, std::string_view(name).substr(0, colon)))
            setMember(holder, name.substr(colon + 1), std::move(value));
        return;
    }
    if (const auto dot = name.rfind('.'); dot != std::string::npos && dot > 0 && dot + 1 < name.size()) {
        setMember(getVariable(activation, name.substr(0, dot)), name.substr(dot + 1), std::move(value));
        return;
    }
    const std::string k = key(name);
    for (auto object = activation.scope.rbegin(); object != activation.scope.rend(); ++object)
        if ((*object)->own(k)) {
            setMember(*object, k, std::move(value));
            return;
        }
    setMember(activation.timeline, k, std::move(value));
}

Function* Machine::define(Activation& activation, std::uint32_t at)
{
    const Instruction& instruction = activation.code->instructions[at];
    Function* function = heap_.make<Function>();
    if (!function)
        halt(Ending::OutOfMemory);
    function->prototype = functionPrototype_;
    function->code = activation.code;
    function->pool = activation.pool;
    function->start = at + 1;
    function->end = std::min<std::uint32_t>(instruction.target, std::uint32_t(activation.code->instructions.size()));
    function->definition = instruction.function;
    function->scope = activation.scope;
    function->timeline = activation.timeline;
    Object* prototype = makeObject(objectPrototype_);
    prototype->put("constructor", Value(function), Property::DontEnum);
    function->put("prototype", Value(prototype), Property::DontEnum);
    return function;
}

Object* Machine::makeClip()
{
    Object* clip = heap_.make<Object>();
    if (!clip)
        return nullptr;
    clip->prototype = movieClipPrototype_;
    clips_.insert(clip);
    return clip;
}

void Machine::release(Object* clip)
{
    clips_.erase(clip);
}

Machine::Ending Machine::guarded(Host& host, const std::function<void()>& body)
{
    if (actionsLeft_ == 0)
        return Ending::OverBudget;
    // A run may start inside another, when a script's change to a clip runs the clip's own:
    // the outer one's stack and host are kept for it.
    const char here = 0; // the stack grows down from the outermost run
    const std::uintptr_t outerBase
        = std::exchange(stackBase_, stackBase_ ? stackBase_ : reinterpret_cast<std::uintptr_t>(&here));
    Host* const outerHost = std::exchange(host_, &host);
    std::vector<Value> outerStack = std::exchange(stack_, {});
    const int outerDepth = depth_;
    Ending ending = Ending::Finished;
    try {
        body();
    } catch (const Halt& halted) {
        ending = halted.ending;
    } catch (const Thrown&) {
        ending = Ending::Thrown;
    }
    depth_ = outerDepth;
    stackBase_ = outerBase;
    stack_ = std::move(outerStack);
    host_ = outerHost;
    return ending;
}

Machine::Ending Machine::run(std::shared_ptr<const Code> code, Host& host, Object* timeline)
{
    if (!code)
        return Ending::Finished;
    return guarded(host, [&] {
        Activation activation;
        activation.code = std::move(code);
        activation.registers = &globalRegisters_;
        activation.timeline = activation.locals = activation.ownTimeline = timeline ? timeline : timeline_;
        activation.self = activation.timeline;
        std::uint32_t resume = 0;
        execute(activation, 0, std::uint32_t(activation.code->instructions.size()), resume);
    });
}

Machine::Ending Machine::callMethod(Object* object, std::string_view name, Host& host, std::vector<Value> arguments)
{
    return guarded(host, [&] {
        const Value method = member(Value(object), name);
        if (dynamic_cast<Function*>(objectIn(method)))
            call(method, Value(object), arguments);
    });
}

Function* Machine::registeredClass(std::string_view linkage)
{
    return dynamic_cast<Function*>(objectIn(member(Value(registeredClasses_), lowerCase(linkage))));
}

Machine::Ending Machine::construct(Object* clip, Function* constructor, Host& host)
{
    return guarded(host, [&] {
        std::vector<Value> none;
        call(Value(constructor), Value(clip), none);
    });
}

Value Machine::superOf(Activation& activation)
{
    Object* object = objectIn(activation.self);
    if (!object || !activation.ownClass)
        return Undefined{};
    auto* made = heap_.make<SuperObject>();
    if (!made)
        halt(Ending::OutOfMemory);
    made->prototype = objectPrototype_;
    made->self = object;
    made->from = activation.ownClass->prototype;
    // The constructor of the class above: what Extends left on this class's prototype.
    made->constructor = objectIn(lookUp(activation.ownClass, "__constructor__", Value(object)));
    return made;
}

bool Machine::hasMethod(Object* object, std::string_view name) const
{
    const std::string k = key(name);
    for (int hops = 0; object && hops < kLongestChain; ++hops, object = object->prototype)
        if (const Property* property = object->own(k))
            return !property->getter && dynamic_cast<Function*>(objectIn(property->value));
    return false;
}

Value Machine::variable(std::string_view name, Object* timeline)
{
    Activation activation;
    activation.timeline = activation.locals = timeline ? timeline : timeline_;
    activation.self = activation.timeline;
    try {
        return getVariable(activation, std::string(name));
    } catch (const Halt&) {
    } catch (const Thrown&) {
    }
    return Undefined{}; // a getter that throws or runs past the budget gives nothing
}

void Machine::setVariable(std::string_view name, Value value, Object* timeline)
{
    Activation activation;
    activation.timeline = activation.locals = timeline ? timeline : timeline_;
    activation.self = activation.timeline;
    try {
        setVariable(activation, std::string(name), std::move(value));
    } catch (const Halt&) {
    } catch (const Thrown&) {
    }
}

std::pair<Clip*, std::string> Machine::frameOnTarget(Activation& activation, const std::string& given)
{
    const auto colon = given.rfind(':');
    if (colon == std::string::npos)
        return {activation.timeline->clip, given};
    Object* target = resolveTarget(activation, std::string_view(given).substr(0, colon));
    return {target ? target->clip : nullptr, given.substr(colon + 1)};
}

Machine::Flow Machine::execute(Activation& activation, std::uint32_t start, std::uint32_t end, std::uint32_t& resume)
{
    static NoHost noHost; // for a getter that reading a variable from outside a run calls
    Host& movie = host_ ? *host_ : noHost;
    // The timeline actions go to the target, which SetTarget and With may change.
    const auto targetHost
        = [&]() -> Host& { return activation.timeline->clip ? static_cast<Host&>(*activation.timeline->clip) : movie; };
    const int version = convert_.version();
    const bool utf8 = version >= 6;
    const auto number = [this](const Value& v) { return toNumber(v); };
    const auto text = [this](const Value& v) { return toString(v); };
    // The two operands of a binary action: `b` pushed first, `a` last.
    Value a, b;
    const auto operands = [&] {
        a = pop();
        b = pop();
    };
    const std::vector<Instruction>& instructions = activation.code->instructions;
    std::vector<Value>& registers = *activation.registers;
    std::uint32_t at = start;
    while (at >= start && at < end) {
        spend(1);
        const Instruction& instruction = instructions[at++];
        switch (instruction.code) {
        // The timeline.
        case op::NextFrame: targetHost().nextFrame(); break;
        case op::PreviousFrame: targetHost().previousFrame(); break;
        case op::Play: targetHost().play(); break;
        case op::Stop: targetHost().stop(); break;
        case op::ToggleQuality: targetHost().toggleQuality(); break;
        case op::GotoFrame: targetHost().gotoFrame(instruction.number, false); break;
        case op::GotoLabel:
            if (!instruction.strings.empty())
                targetHost().gotoLabel(instruction.strings.front(), false);
            break;
        case op::GotoFrame2: { // a number, a label, or either after "target:"
            Value target = pop();
            const bool play = instruction.flags & 0x01;
            Host* host = &targetHost();
            if (const auto* given = std::get_if<std::string>(&target); given && given->find(':') != std::string::npos) {
                auto [clip, frame] = frameOnTarget(activation, *given);
                host = clip;
                target = std::move(frame);
            }
            const double frame = number(target);
            if (!host)
                break;
            if (const auto* label = std::get_if<std::string>(&target); label && !std::isfinite(frame))
                host->gotoLabel(*label, play);
            else if (frame >= 1 && frame < 4294967296.0)
                host->gotoFrame(std::uint32_t(std::min(frame - 1 + instruction.number, 4294967295.0)), play);
            break;
        }
        case op::Call: { // a frame's actions as a subroutine: "frame", or "target:frame"
            auto [clip, frame] = frameOnTarget(activation, text(pop()));
            if (clip) {
                spend(kActionsACalledFrame);
                const Deeper deeper(*this);
                clip->callFrame(frame);
            }
            break;
        }
        case op::GetUrl:
            if (instruction.strings.size() == 2)
                movie.getUrl(instruction.strings[0], instruction.strings[1]);
            break;
        case op::GetUrl2: {
            const std::string target = text(pop());
            movie.getUrl(text(pop()), target);
            break;
        }
        case op::WaitForFrame:
        case op::WaitForFrame2: // a movie plays once it is all loaded: every frame has been
            if (instruction.code == op::WaitForFrame2)
                pop();
            break;

        // The stack, registers and constants.
        case op::Push:
            for (const PushOperand& operand : instruction.push) {
                if (const auto* value = std::get_if<Value>(&operand))
                    push(*value);
                else if (const auto* reg = std::get_if<RegisterOperand>(&operand))
                    push(reg->index < registers.size() ? registers[reg->index] : Value(Undefined{}));
                else {
                    const std::size_t index = std::get<PoolOperand>(operand).index;
                    const auto& pool = activation.pool;
                    push(pool && index < pool->size() ? Value((*pool)[index]) : Value(Undefined{}));
                }
            }
            break;
        case op::Pop: pop(); break;
        case op::PushDuplicate: {
            Value top = pop();
            push(top);
            push(std::move(top));
            break;
        }
        case op::StackSwap:
            operands();
            push(std::move(a));
            push(std::move(b));
            break;
        case op::StoreRegister:
            if (instruction.number < registers.size()) {
                registers[instruction.number] = stack_.empty() ? Value(Undefined{}) : stack_.back();
                if (const auto* text = std::get_if<std::string>(&registers[instruction.number]))
                    spend(text->size() / kBytesAnAction); // a copy, as a push is
            }
            break;
        case op::ConstantPool:
            activation.pool = std::make_shared<const std::vector<std::string>>(instruction.strings);
            break;

        // Numbers.
        case op::Add:
            operands();
            push(number(b) + number(a));
            break;
        case op::Add2: {
            operands();
            const Value x = primitive(b), y = primitive(a);
            if (std::holds_alternative<std::string>(x) || std::holds_alternative<std::string>(y))
                push(capped(convert_.toString(x) + convert_.toString(y)));
            else
                push(convert_.toNumber(x) + convert_.toNumber(y));
            break;
        }
        case op::Subtract:
            operands();
            push(number(b) - number(a));
            break;
        case op::Multiply:
            operands();
            push(number(b) * number(a));
            break;
        case op::Divide:
            operands();
            if (version < 5 && number(a) == 0)
                push(std::string("#ERROR#"));
            else
                push(number(b) / number(a));
            break;
        case op::Modulo:
            operands();
            push(std::fmod(number(b), number(a)));
            break;
        case op::Increment: push(number(pop()) + 1); break;
        case op::Decrement: push(number(pop()) - 1); break;
        case op::ToInteger: push(double(Conversions::toInt32(number(pop())))); break;
        case op::ToNumber: push(number(pop())); break;
        case op::ToString: push(text(pop())); break;
        case op::BitAnd:
        case op::BitOr:
        case op::BitXor:
        case op::BitLShift:
        case op::BitRShift:
        case op::BitURShift: {
            operands();
            const std::int32_t x = Conversions::toInt32(number(b)), y = Conversions::toInt32(number(a));
            const auto ux = std::uint32_t(x);
            const int shift = y & 31;
            double result = 0;
            switch (instruction.code) {
            case op::BitAnd: result = x & y; break;
            case op::BitOr: result = x | y; break;
            case op::BitXor: result = x ^ y; break;
            case op::BitLShift: result = std::int32_t(ux << shift); break;
            case op::BitRShift: result = x >> shift; break;
            default: result = ux >> shift; break;
            }
            push(result);
            break;
        }
        case op::RandomNumber: {
            const double limit = number(pop());
            const double bound = std::isfinite(limit) && limit >= 1 ? std::min(std::trunc(limit), 4294967295.0) : 1;
            push(double(random_() % std::uint32_t(bound)));
            break;
        }
        case op::GetTime: push(std::trunc(movie.milliseconds())); break;

        // Comparisons and logic.
        case op::Equals:
            operands();
            push(boolean(number(b) == number(a)));
            break;
        case op::Less:
            operands();
            push(boolean(number(b) < number(a)));
            break;
        case op::Equals2:
            operands();
            push(looselyEquals(b, a));
            break;
        case op::StrictEquals:
            operands();
            push(a.index() == b.index() && looselyEquals(b, a));
            break;
        case op::Less2:
            operands();
            push(lessThan(b, a));
            break;
        case op::Greater:
            operands();
            push(lessThan(a, b));
            break;
        case op::And:
            operands();
            push(boolean(convert_.toBoolean(b) && convert_.toBoolean(a)));
            break;
        case op::Or:
            operands();
            push(boolean(convert_.toBoolean(b) || convert_.toBoolean(a)));
            break;
        case op::Not: push(boolean(!convert_.toBoolean(pop()))); break;

        // Strings.
        case op::StringAdd:
            operands();
            push(capped(text(b) + text(a)));
            break;
        case op::StringEquals:
            operands();
            push(boolean(text(b) == text(a)));
            break;
        case op::StringLess:
            operands();
            push(boolean(text(b) < text(a)));
            break;
        case op::StringGreater:
            operands();
            push(boolean(text(b) > text(a)));
            break;
        case op::StringLength:
        case op::MBStringLength: push(double(characterCount(text(pop()), utf8))); break;
        case op::StringExtract:
        case op::MBStringExtract: {
            const double count = number(pop()), first = number(pop()); // first counts from 1
            push(characters(text(pop()), utf8, first - 1, count));
            break;
        }
        case op::CharToAscii:
        case op::MBCharToAscii: push(double(firstCode(text(pop()), utf8))); break;
        case op::AsciiToChar:
        case op::MBAsciiToChar: push(character(std::uint32_t(Conversions::toInt32(number(pop()))), utf8)); break;

        // Variables, objects and functions.
        case op::GetVariable: push(getVariable(activation, text(pop()))); break;
        case op::SetVariable: {
            Value value = pop();
            setVariable(activation, text(pop()), std::move(value));
            break;
        }
        case op::DefineLocal: {
            Value value = pop();
            if (!activation.locals->put(key(text(pop())), std::move(value)) && heap_.refused())
                halt(Ending::OutOfMemory);
            break;
        }
        case op::DefineLocal2: {
            const std::string name = key(text(pop()));
            if (!activation.locals->own(name) && !activation.locals->put(name, Undefined{}) && heap_.refused())
                halt(Ending::OutOfMemory);
            break;
        }
        case op::Delete: {
            const std::string name = text(pop());
            Object* object = objectIn(pop());
            push(object && object->remove(key(name)));
            break;
        }
        case op::Delete2: {
            const std::string name = key(text(pop()));
            bool removed = false;
            for (auto object = activation.scope.rbegin(); object != activation.scope.rend() && !removed; ++object)
                if ((*object)->own(name))
                    removed = (*object)->remove(name);
            if (!removed && activation.timeline->own(name))
                removed = activation.timeline->remove(name);
            push(removed);
            break;
        }
        case op::GetMember: {
            const std::string name = text(pop());
            push(member(pop(), name));
            break;
        }
        case op::SetMember: {
            Value value = pop();
            const std::string name = text(pop());
            setMember(pop(), name, std::move(value));
            break;
        }
        case op::InitObject: {
            const double wanted = number(pop());
            const std::size_t count = wanted > 0 ? std::size_t(std::min(wanted, double(stack_.size()))) : 0;
            Object* made = makeObject(objectPrototype_);
            for (std::size_t i = 0; i < count && !stack_.empty(); ++i) {
                Value value = pop();
                setMember(made, text(pop()), std::move(value));
            }
            push(made);
            break;
        }
        case op::InitArray: {
            std::vector<Value> elements = popArguments();
            Array* made = makeArray();
            for (std::size_t i = 0; i < elements.size(); ++i)
                if (!made->put(std::to_string(i), std::move(elements[i])) && heap_.refused())
                    halt(Ending::OutOfMemory);
            push(made);
            break;
        }
        case op::DefineFunction:
        case op::DefineFunction2: {
            Function* function = define(activation, at - 1);
            at = function->end;
            if (instruction.function->name.empty())
                push(function);
            else if (!activation.locals->put(key(instruction.function->name), Value(function)) && heap_.refused())
                halt(Ending::OutOfMemory);
            break;
        }
        case op::CallFunction: {
            const std::string name = text(pop());
            std::vector<Value> arguments = popArguments();
            push(call(getVariable(activation, name), activation.timeline, arguments));
            break;
        }
        case op::CallMethod: {
            const Value name = pop();
            const Value object = pop();
            std::vector<Value> arguments = popArguments();
            const std::string method = convert_.toString(name);
            const bool whole = std::holds_alternative<Undefined>(name) || method.empty();
            if (auto* above = dynamic_cast<SuperObject*>(objectIn(object))) {
                // super(...) and super.method(...): on the same object, one class up.
                const Value callee = whole ? Value(above->constructor) : lookUp(above->from, key(method), above->self);
                superClass_ = above->from;
                push(call(callee, Value(above->self), arguments));
            } else if (whole) {
                push(call(object, Undefined{}, arguments));
            } else {
                push(call(member(object, method), object, arguments));
            }
            break;
        }
        case op::NewObject: {
            const std::string name = text(pop());
            std::vector<Value> arguments = popArguments();
            push(construct(getVariable(activation, name), arguments));
            break;
        }
        case op::NewMethod: {
            const Value name = pop();
            const Value object = pop();
            std::vector<Value> arguments = popArguments();
            const std::string method = convert_.toString(name);
            const bool whole = std::holds_alternative<Undefined>(name) || method.empty();
            push(construct(whole ? object : member(object, method), arguments));
            break;
        }
        case op::Return: activation.returned = pop(); return Flow::Return;
        case op::TypeOf: {
            const Value value = pop();
            if (Object* object = objectIn(value))
                push(std::string(object->typeName()));
            else if (std::holds_alternative<std::string>(value))
                push(std::string("string"));
            else if (std::holds_alternative<double>(value))
                push(std::string("number"));
            else if (std::holds_alternative<bool>(value))
                push(std::string("boolean"));
            else
                push(std::string(std::holds_alternative<Null>(value) ? "null" : "undefined"));
            break;
        }
        case op::InstanceOf: {
            const Value constructor = pop();
            push(instanceOf(pop(), constructor));
            break;
        }
        case op::CastOp: {
            Value object = pop();
            const Value constructor = pop();
            push(instanceOf(object, constructor) ? std::move(object) : Value(Null{}));
            break;
        }
        case op::ImplementsOp: {
            pop(); // the class; what it implements is not checked
            popArguments();
            break;
        }
        case op::Extends: {
            const Value superclass = pop();
            Object* subclass = objectIn(pop());
            if (!subclass)
                break;
            Object* prototype = makeObject(objectIn(member(superclass, "prototype")));
            prototype->put("__constructor__", superclass, Property::DontEnum);
            subclass->put("prototype", Value(prototype), Property::DontEnum);
            break;
        }
        case op::Enumerate:
        case op::Enumerate2: {
            const Value value = pop();
            const Value object
                = instruction.code == op::Enumerate ? getVariable(activation, convert_.toString(value)) : value;
            std::vector<std::string> names;
            std::unordered_set<std::string> seen;
            int hops = 0;
            for (Object* holder = objectIn(object); holder && names.size() < kMostStackValues && hops < kLongestChain;
                 holder = holder->prototype, ++hops) {
                std::vector<std::string> own = holder->keys();
                spend(own.size() / 16); // a large object costs more than one action
                for (std::string& name : own)
                    if (names.size() < kMostStackValues && seen.insert(name).second)
                        names.push_back(std::move(name));
            }
            push(Undefined{}); // where the names end
            // The loop takes the top first: the latest made, as players go through them.
            for (auto name = names.rbegin(); name != names.rend(); ++name)
                push(std::move(*name));
            break;
        }

        // Flow.
        case op::Jump:
        case op::If:
            if (instruction.code == op::Jump || convert_.toBoolean(pop())) {
                if (instruction.target == kOutside)
                    return Flow::Exit;
                at = instruction.target;
            }
            break;
        case op::With: {
            Object* object = objectIn(pop());
            const std::uint32_t past = instruction.target;
            if (!object) {
                at = past;
                break;
            }
            const Deeper deeper(*this);
            // Out of the block, however it is left.
            struct Within {
                std::vector<Object*>& scope;
                ~Within() { scope.pop_back(); }
            } within{activation.scope};
            activation.scope.push_back(object);
            const Flow flow = execute(activation, at, past, resume);
            if (flow != Flow::End)
                return flow;
            at = resume;
            break;
        }
        case op::Try: {
            const TryBlock& block = *instruction.tryBlock;
            const std::uint32_t past = instruction.target;
            const Deeper deeper(*this);
            std::optional<Value> uncaught;
            Flow flow = Flow::End;
            std::uint32_t next = past;
            try {
                flow = execute(activation, at, block.catchStart, resume);
                next = resume == block.catchStart ? past : resume;
            } catch (Thrown& thrown) {
                if (!block.hasCatch) {
                    uncaught = std::move(thrown.value);
                } else {
                    if (block.catchInRegister && block.catchRegister < registers.size())
                        registers[block.catchRegister] = thrown.value;
                    else if (!block.catchInRegister)
                        setVariable(activation, block.catchName, thrown.value);
                    try {
                        flow = execute(activation, block.catchStart, block.finallyStart, resume);
                        next = resume == block.finallyStart ? past : resume;
                    } catch (Thrown& again) {
                        uncaught = std::move(again.value);
                    }
                }
            }
            if (block.hasFinally) {
                std::uint32_t after = 0;
                const Value returned = activation.returned;
                const Flow finallyFlow = execute(activation, block.finallyStart, past, after);
                if (finallyFlow != Flow::End)
                    return finallyFlow;
                activation.returned = returned;
            }
            if (uncaught)
                throw Thrown{std::move(*uncaught)};
            if (flow != Flow::End)
                return flow;
            at = next;
            break;
        }
        case op::Throw: spend(kActionsAThrow); throw Thrown{pop()};
        case op::Trace: movie.trace(text(pop())); break;

        // Clips by their target paths.
        case op::SetTarget:
        case op::SetTarget2: {
            const Value given = instruction.code == op::SetTarget
                                    ? Value(instruction.strings.empty() ? std::string() : instruction.strings.front())
                                    : pop();
            Object* object = objectIn(given);
            if (!object) {
                const std::string path = text(given);
                object = path.empty() ? activation.ownTimeline : resolveTarget(activation, path);
            }
            activation.timeline = object && object->clip ? object : activation.ownTimeline;
            break;
        }
        case op::GetProperty: {
            const double index = number(pop());
            Object* object = resolveTarget(activation, text(pop()));
            const char* name
                = index >= 0 && index < std::size(kPropertyNames) ? kPropertyNames[std::size_t(index)] : "";
            std::optional<Value> found = object ? displayProperty(object, name) : std::nullopt;
            push(found ? std::move(*found) : Value(Undefined{}));
            break;
        }
        case op::SetProperty: {
            Value value = pop();
            const double index = number(pop());
            Object* object = resolveTarget(activation, text(pop()));
            if (object && object->clip && index >= 0 && index < std::size(kPropertyNames))
                object->clip->setProperty(kPropertyNames[std::size_t(index)], value);
            break;
        }
        case op::TargetPath: {
            const Value value = pop();
            Object* object = objectIn(value);
            push(object && object->clip ? *displayProperty(object, "_target") : Value(Undefined{}));
            break;
        }
        case op::CloneSprite: {
            const Value depth = pop();
            const Value name = pop();
            Object* object = resolveTarget(activation, text(pop()));
            std::vector<Value> arguments{name, Value(number(depth) - kFirstScriptDepth)};
            if (object && object->clip)
                call(member(Value(object), "duplicateMovieClip"), Value(object), arguments);
            break;
        }
        case op::RemoveSprite: {
            Object* object = resolveTarget(activation, text(pop()));
            std::vector<Value> none;
            if (object && object->clip)
                call(member(Value(object), "removeMovieClip"), Value(object), none);
            break;
        }
        case op::StartDrag: {
            Object* object = resolveTarget(activation, text(pop()));
            std::vector<Value> arguments{pop()}; // lock the centre
            if (convert_.toBoolean(pop())) {     // bounds, from the bottom up
                const Value bottom = pop(), right = pop(), top = pop(), left = pop();
                arguments.insert(arguments.end(), {left, top, right, bottom});
            }
            if (object && object->clip)
                call(member(Value(object), "startDrag"), Value(object), arguments);
            break;
        }
        case op::EndDrag: {
            std::vector<Value> none;
            if (Object* root = this->root(); root && root->clip)
                call(member(Value(root), "stopDrag"), Value(root), none);
            break;
        }
        default: break; // not run by this player
        }
    }
    resume = at;
    return Flow::End;
}

} // namespace quillmere::swf::avm1
