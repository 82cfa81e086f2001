// The objects every movie's scripts start with: Object, Function, Array, String, Number,
// Boolean, Math and the global functions banners use.

#include <algorithm>
#include <cmath>
#include <functional>
#include <memory>
#include <numbers>
#include <unordered_set>

#include "swf/avm1/machine.h"
#include "swf/avm1/natives.h"
#include "swf/avm1/strings.h"

namespace quillmere::swf::avm1 {

namespace {

// An index argument of slice and its kind: from the end when negative, cut to [0, length].
std::size_t clampedIndex(double index, std::size_t length)
{
    if (std::isnan(index))
        return 0;
    if (index < 0)
        index = std::max(0.0, double(length) + std::trunc(index));
    return std::size_t(std::min(std::trunc(index), double(length)));
}

std::string radixString(double number, int radix)
{
    if (radix == 10 || !std::isfinite(number))
        return numberToString(number);
    const bool negative = number < 0;
    auto whole = static_cast<std::uint64_t>(std::min(std::fabs(std::trunc(number)), 9007199254740992.0));
    std::string digits;
    do {
        digits += "0123456789abcdefghijklmnopqrstuvwxyz"[whole % std::uint64_t(radix)];
        whole /= std::uint64_t(radix);
    } while (whole);
    if (negative)
        digits += '-';
    return {digits.rbegin(), digits.rend()};
}

} // namespace

void Machine::defineMethod(Object* on, std::string_view name, Function::Native native)
{
    on->put(key(name), Value(makeNative(std::move(native))), Property::DontEnum);
}

Function* Machine::defineClass(Object* on, std::string_view name, Object* prototype, Function::Native construct)
{
    Function* made = makeNative(std::move(construct));
    made->put(key("prototype"), Value(prototype), Property::DontEnum | Property::DontDelete);
    prototype->put(key("constructor"), Value(made), Property::DontEnum);
    on->put(key(name), Value(made), Property::DontEnum);
    return made;
}

void Machine::makeBroadcaster(Object* object)
{
    Arguments given{Value(object)};
    call(member(member(Value(global_), "AsBroadcaster"), "initialize"), Value(Undefined{}), given);
}

void Machine::installBuiltins()
{
    const bool utf8 = convert_.version() >= 6;
    objectPrototype_ = makeObject(nullptr);
    functionPrototype_ = makeObject(objectPrototype_);
    global_ = makeObject(objectPrototype_);
    timeline_ = makeObject(objectPrototype_);
    const auto method = [this](Object* on, std::string_view name, Function::Native native) {
        defineMethod(on, name, std::move(native));
    };
    const auto constant = [this](Object* on, std::string_view name, double value) {
        on->put(key(name), value, Property::DontEnum | Property::DontDelete | Property::ReadOnly);
    };
    const auto global
        = [&](std::string_view name, Function::Native native) { method(global_, name, std::move(native)); };
    const auto constructor = [this](std::string_view name, Object* prototype, Function::Native native) {
        return defineClass(global_, name, prototype, std::move(native));
    };
    // The elements of an array-like object, and the making of an array from values.
    const auto count = [this](const Value& self) {
        const double length = toNumber(member(self, "length"));
        const std::size_t count
            = length > 0 ? std::size_t(std::min(length, double(Heap::kLongestArray))) : 0; // NaN too
        spend(count / 16); // a long array costs more than a call
        return count;
    };
    const auto elements = [this, count](const Value& self) {
        std::vector<Value> out;
        const std::size_t n = count(self);
        for (std::size_t i = 0; i < n; ++i) {
            out.push_back(member(self, std::to_string(i)));
            if (const auto* text = std::get_if<std::string>(&out.back()))
                spend(text->size() / kBytesAnAction); // copied, as a push copies
        }
        return out;
    };
    const auto arrayOf = [this](std::vector<Value> values) {
        Array* array = makeArray();
        for (std::size_t i = 0; i < values.size(); ++i)
            if (!array->put(std::to_string(i), std::move(values[i])))
                halt(Ending::OutOfMemory);
        return Value(array);
    };
    const auto setElements = [this](const Value& self, std::vector<Value> values) {
        auto* array = dynamic_cast<Array*>(objectIn(self));
        if (!array)
            return;
        array->put(key("length"), 0.0);
        for (std::size_t i = 0; i < values.size(); ++i)
            if (!array->put(std::to_string(i), std::move(values[i])))
                halt(Ending::OutOfMemory);
    };

    // Object and Function.
    Function* objectClass = constructor("Object", objectPrototype_, [](Machine& m, Value, Arguments& a) {
        const Value given = argument(a, 0);
        return objectIn(given) ? given : Value(m.makeObject(m.objectPrototype_));
    });
    // registerClass(linkage, constructor): clips of the symbol exported by that name are made
    // of the class; a value that is no function takes the class away.
    registeredClasses_ = makeObject(nullptr);
    method(objectClass, "registerClass", [](Machine& m, Value, Arguments& a) {
        const std::string linkage = lowerCase(m.toString(argument(a, 0)));
        if (dynamic_cast<Function*>(objectIn(argument(a, 1))))
            return Value(m.registeredClasses_->put(linkage, argument(a, 1)));
        m.registeredClasses_->remove(linkage);
        return Value(true);
    });
    method(objectPrototype_, "toString",
           [](Machine&, Value, Arguments&) { return Value(std::string("[object Object]")); });
    method(objectPrototype_, "valueOf", [](Machine&, Value self, Arguments&) { return self; });
    method(objectPrototype_, "hasOwnProperty", [](Machine& m, Value self, Arguments& a) {
        Object* object = objectIn(self);
        return Value(object && object->own(m.key(m.toString(argument(a, 0)))) != nullptr);
    });
    method(objectPrototype_, "isPropertyEnumerable", [](Machine& m, Value self, Arguments& a) {
        Object* object = objectIn(self);
        const Property* own = object ? object->own(m.key(m.toString(argument(a, 0)))) : nullptr;
        return Value(own && !(own->flags & Property::DontEnum));
    });
    method(objectPrototype_, "isPrototypeOf", [](Machine&, Value self, Arguments& a) {
        Object* object = objectIn(argument(a, 0));
        for (int hops = 0; object && hops < 256; ++hops)
            if ((object = object->prototype) == objectIn(self))
                return Value(true);
        return Value(false);
    });
    method(objectPrototype_, "addProperty", [](Machine& m, Value self, Arguments& a) {
        Object* object = objectIn(self);
        Object* getter = objectIn(argument(a, 1));
        const std::string name = m.toString(argument(a, 0));
        if (!object || name.empty() || !dynamic_cast<Function*>(getter))
            return Value(false);
        return Value(object->putAccessor(m.key(name), getter, dynamic_cast<Function*>(objectIn(argument(a, 2)))));
    });
    constructor("Function", functionPrototype_, [](Machine&, Value self, Arguments&) { return self; });
    method(functionPrototype_, "call", [](Machine& m, Value self, Arguments& a) {
        Arguments rest(a.size() > 1 ? a.begin() + 1 : a.end(), a.end());
        return m.call(self, argument(a, 0), rest);
    });
    method(functionPrototype_, "apply", [elements](Machine& m, Value self, Arguments& a) {
        Arguments rest = objectIn(argument(a, 1)) ? elements(argument(a, 1)) : Arguments{};
        return m.call(self, argument(a, 0), rest);
    });

    // Array.
    arrayPrototype_ = makeObject(objectPrototype_);
    Function* arrayClass = constructor("Array", arrayPrototype_, [arrayOf](Machine& m, Value, Arguments& a) {
        if (a.size() == 1 && std::holds_alternative<double>(a[0])) {
            Array* array = m.makeArray();
            array->put(m.key("length"), a[0]);
            return Value(array);
        }
        return arrayOf(a);
    });
    installArraySorting(arrayClass);
    // Element by element, so that an array within itself is not copied at each level: it shows
    // as nothing where it appears again.
    const auto joining = std::make_shared<std::unordered_set<const Object*>>();
    const auto join = [count, joining](Machine& m, const Value& self, const std::string& separator) {
        const Object* array = objectIn(self);
        if (array && !joining->insert(array).second)
            return Value(std::string());
        const std::unique_ptr<const Object, std::function<void(const Object*)>> done(
            array, [joining](const Object* joined) { joining->erase(joined); });
        std::string out;
        const std::size_t n = count(self);
        for (std::size_t i = 0; i < n && out.size() <= kLongestString; ++i) {
            if (i > 0)
                out += separator;
            const Value element = m.member(self, std::to_string(i));
            if (!std::holds_alternative<Undefined>(element) && !std::holds_alternative<Null>(element))
                out += m.toString(element);
        }
        return Value(m.capped(std::move(out)));
    };
    method(arrayPrototype_, "join", [join](Machine& m, Value self, Arguments& a) {
        const Value separator = argument(a, 0);
        return join(m, self, std::holds_alternative<Undefined>(separator) ? "," : m.toString(separator));
    });
    method(arrayPrototype_, "toString", [join](Machine& m, Value self, Arguments&) { return join(m, self, ","); });
    method(arrayPrototype_, "push", [count](Machine& m, Value self, Arguments& a) {
        auto* array = dynamic_cast<Array*>(objectIn(self));
        if (!array)
            return Value(double(count(self) + a.size()));
        for (const Value& more : a) // in place: pushing one by one stays cheap however long it gets
            if (!array->put(std::to_string(array->length()), more))
                m.halt(Ending::OutOfMemory);
        return Value(double(array->length()));
    });
    method(arrayPrototype_, "pop", [elements, setElements](Machine&, Value self, Arguments&) {
        std::vector<Value> all = elements(self);
        if (all.empty())
            return Value(Undefined{});
        Value last = all.back();
        all.pop_back();
        setElements(self, std::move(all));
        return last;
    });
    method(arrayPrototype_, "shift", [elements, setElements](Machine&, Value self, Arguments&) {
        std::vector<Value> all = elements(self);
        if (all.empty())
            return Value(Undefined{});
        Value first = all.front();
        all.erase(all.begin());
        setElements(self, std::move(all));
        return first;
    });
    method(arrayPrototype_, "unshift", [elements, setElements](Machine&, Value self, Arguments& a) {
        std::vector<Value> all = elements(self);
        all.insert(all.begin(), a.begin(), a.end());
        const double length = double(all.size());
        setElements(self, std::move(all));
        return Value(length);
    });
    method(arrayPrototype_, "reverse", [elements, setElements](Machine&, Value self, Arguments&) {
        std::vector<Value> all = elements(self);
        std::reverse(all.begin(), all.end());
        setElements(self, std::move(all));
        return self;
    });
    method(arrayPrototype_, "slice", [elements, arrayOf](Machine& m, Value self, Arguments& a) {
        std::vector<Value> all = elements(self);
        const std::size_t from = clampedIndex(m.toNumber(argument(a, 0)), all.size());
        const Value endArgument = argument(a, 1);
        const std::size_t to = std::holds_alternative<Undefined>(endArgument)
                                   ? all.size()
                                   : clampedIndex(m.toNumber(endArgument), all.size());
        return arrayOf(from < to
                           ? std::vector<Value>(all.begin() + std::ptrdiff_t(from), all.begin() + std::ptrdiff_t(to))
                           : std::vector<Value>{});
    });
    method(arrayPrototype_, "splice", [elements, setElements, arrayOf](Machine& m, Value self, Arguments& a) {
        std::vector<Value> all = elements(self);
        const std::size_t from = clampedIndex(m.toNumber(argument(a, 0)), all.size());
        const double wanted = a.size() > 1 ? m.toNumber(a[1]) : double(all.size());
        const std::size_t count
            = std::isnan(wanted) || wanted < 0 ? 0 : std::min(std::size_t(std::min(wanted, 1e9)), all.size() - from);
        std::vector<Value> removed(all.begin() + std::ptrdiff_t(from), all.begin() + std::ptrdiff_t(from + count));
        all.erase(all.begin() + std::ptrdiff_t(from), all.begin() + std::ptrdiff_t(from + count));
        if (a.size() > 2)
            all.insert(all.begin() + std::ptrdiff_t(from), a.begin() + 2, a.end());
        setElements(self, std::move(all));
        return arrayOf(std::move(removed));
    });
    method(arrayPrototype_, "concat", [elements, arrayOf](Machine&, Value self, Arguments& a) {
        std::vector<Value> all = elements(self);
        for (const Value& more : a) {
            if (dynamic_cast<Array*>(objectIn(more))) {
                std::vector<Value> theirs = elements(more);
                all.insert(all.end(), theirs.begin(), theirs.end());
            } else {
                all.push_back(more);
            }
        }
        return arrayOf(std::move(all));
    });
    // String.
    stringPrototype_ = makeObject(objectPrototype_);
    Function* string = constructor("String", stringPrototype_, [](Machine& m, Value, Arguments& a) {
        return Value(a.empty() ? std::string() : m.toString(a[0]));
    });
    method(string, "fromCharCode", [utf8](Machine& m, Value, Arguments& a) {
        std::string out;
        for (const Value& code : a)
            out += character(std::uint32_t(Conversions::toInt32(m.toNumber(code))) & 0xFFFF, utf8);
        return Value(m.capped(std::move(out)));
    });
    const auto own = [utf8](Machine& m, const Value& self) { return codes(m.toString(self), utf8); };
    const auto back = [utf8](std::u32string_view text) { return Value(fromCodes(text, utf8)); };
    method(stringPrototype_, "toString", [](Machine& m, Value self, Arguments&) { return Value(m.toString(self)); });
    method(stringPrototype_, "valueOf", [](Machine& m, Value self, Arguments&) { return Value(m.toString(self)); });
    method(stringPrototype_, "toUpperCase", [own, back](Machine& m, Value self, Arguments&) {
        std::u32string text = own(m, self);
        for (char32_t& c : text)
            if (c >= 'a' && c <= 'z')
                c = c - 'a' + 'A';
        return back(text);
    });
    method(stringPrototype_, "toLowerCase", [own, back](Machine& m, Value self, Arguments&) {
        std::u32string text = own(m, self);
        for (char32_t& c : text)
            if (c >= 'A' && c <= 'Z')
                c = c - 'A' + 'a';
        return back(text);
    });
    method(stringPrototype_, "charAt", [own, back](Machine& m, Value self, Arguments& a) {
        const std::u32string text = own(m, self);
        const double index = m.toNumber(argument(a, 0));
        if (!(index >= 0) || index >= double(text.size()))
            return Value(std::string());
        return back(text.substr(std::size_t(index), 1));
    });
    method(stringPrototype_, "charCodeAt", [own](Machine& m, Value self, Arguments& a) {
        const std::u32string text = own(m, self);
        const double index = m.toNumber(argument(a, 0));
        if (!(index >= 0) || index >= double(text.size()))
            return Value(std::nan(""));
        return Value(double(text[std::size_t(index)]));
    });
    method(stringPrototype_, "indexOf", [own](Machine& m, Value self, Arguments& a) {
        const std::u32string text = own(m, self), sought = codes(m.toString(argument(a, 0)), m.convert_.version() >= 6);
        const std::size_t from = clampedIndex(m.toNumber(argument(a, 1)), text.size());
        const std::size_t found = text.find(sought, from);
        return Value(found == std::u32string::npos ? -1.0 : double(found));
    });
    method(stringPrototype_, "lastIndexOf", [own](Machine& m, Value self, Arguments& a) {
        const std::u32string text = own(m, self), sought = codes(m.toString(argument(a, 0)), m.convert_.version() >= 6);
        const double from = a.size() > 1 ? m.toNumber(a[1]) : double(text.size());
        const std::size_t found
            = text.rfind(sought, std::isnan(from) || from < 0 ? 0 : std::size_t(std::min(from, 1e9)));
        return Value(found == std::u32string::npos ? -1.0 : double(found));
    });
    method(stringPrototype_, "substr", [own, back](Machine& m, Value self, Arguments& a) {
        const std::u32string text = own(m, self);
        const std::size_t from = clampedIndex(m.toNumber(argument(a, 0)), text.size());
        const double count = a.size() > 1 ? m.toNumber(a[1]) : double(text.size());
        return back(text.substr(from, std::isnan(count) || count < 0 ? 0 : std::size_t(std::min(count, 1e9))));
    });
    method(stringPrototype_, "substring", [own, back](Machine& m, Value self, Arguments& a) {
        const std::u32string text = own(m, self);
        const auto bound = [&](double index) {
            return std::isnan(index) || index < 0 ? std::size_t(0) : std::size_t(std::min(index, double(text.size())));
        };
        std::size_t from = bound(m.toNumber(argument(a, 0)));
        std::size_t to = a.size() > 1 ? bound(m.toNumber(a[1])) : text.size();
        if (from > to)
            std::swap(from, to);
        return back(text.substr(from, to - from));
    });
    method(stringPrototype_, "slice", [own, back](Machine& m, Value self, Arguments& a) {
        const std::u32string text = own(m, self);
        const std::size_t from = clampedIndex(m.toNumber(argument(a, 0)), text.size());
        const std::size_t to = a.size() > 1 ? clampedIndex(m.toNumber(a[1]), text.size()) : text.size();
        return back(from < to ? text.substr(from, to - from) : std::u32string());
    });
    method(stringPrototype_, "split", [own, back, arrayOf](Machine& m, Value self, Arguments& a) {
        const std::u32string text = own(m, self);
        std::vector<Value> parts;
        if (std::holds_alternative<Undefined>(argument(a, 0))) {
            parts.push_back(back(text));
            return arrayOf(std::move(parts));
        }
        const std::u32string separator = codes(m.toString(argument(a, 0)), m.convert_.version() >= 6);
        m.spend(text.size() / 16);
        if (separator.empty()) {
            for (std::size_t i = 0; i < text.size() && parts.size() < Heap::kLongestArray; ++i)
                parts.push_back(back(text.substr(i, 1)));
        } else {
            std::size_t from = 0;
            for (std::size_t found;
                 (found = text.find(separator, from)) != std::u32string::npos && parts.size() < Heap::kLongestArray;
                 from = found + separator.size())
                parts.push_back(back(text.substr(from, found - from)));
            parts.push_back(back(text.substr(std::min(from, text.size()))));
        }
        return arrayOf(std::move(parts));
    });
    method(stringPrototype_, "concat", [](Machine& m, Value self, Arguments& a) {
        std::string out = m.toString(self);
        for (std::size_t i = 0; i < a.size() && out.size() <= kLongestString; ++i)
            out += m.toString(a[i]);
        return Value(m.capped(std::move(out)));
    });

    // Number and Boolean.
    numberPrototype_ = makeObject(objectPrototype_);
    Function* number = constructor("Number", numberPrototype_, [](Machine& m, Value, Arguments& a) {
        return Value(a.empty() ? 0.0 : m.toNumber(a[0]));
    });
    constant(number, "MAX_VALUE", std::numeric_limits<double>::max());
    constant(number, "MIN_VALUE", std::numeric_limits<double>::denorm_min());
    constant(number, "POSITIVE_INFINITY", INFINITY);
    constant(number, "NEGATIVE_INFINITY", -INFINITY);
    constant(number, "NaN", NAN);
    method(numberPrototype_, "toString", [](Machine& m, Value self, Arguments& a) {
        const double radix = a.empty() ? 10 : m.toNumber(a[0]);
        const int base = radix >= 2 && radix <= 36 ? int(radix) : 10;
        return Value(radixString(m.toNumber(self), base));
    });
    method(numberPrototype_, "valueOf", [](Machine& m, Value self, Arguments&) { return Value(m.toNumber(self)); });
    booleanPrototype_ = makeObject(objectPrototype_);
    constructor("Boolean", booleanPrototype_, [](Machine& m, Value, Arguments& a) {
        return Value(!a.empty() && m.conversions().toBoolean(m.primitive(a[0])));
    });
    method(booleanPrototype_, "toString", [](Machine& m, Value self, Arguments&) {
        return Value(std::string(m.conversions().toBoolean(self) ? "true" : "false"));
    });
    method(booleanPrototype_, "valueOf",
           [](Machine& m, Value self, Arguments&) { return Value(m.conversions().toBoolean(self)); });

    // Error(message): what AS2 classes throw; its text is its message.
    Object* errorPrototype = makeObject(objectPrototype_);
    for (const char* name : {"name", "message"})
        errorPrototype->put(key(name), std::string("Error"), Property::DontEnum);
    constructor("Error", errorPrototype, [](Machine& m, Value self, Arguments& a) {
        if (!a.empty() && !std::holds_alternative<Undefined>(a[0]))
            m.setMember(self, "message", a[0]);
        return Value(Undefined{});
    });
    method(errorPrototype, "toString", [](Machine& m, Value self, Arguments&) { return m.member(self, "message"); });

    // The clips' class: the player gives their prototype its methods.
    movieClipPrototype_ = makeObject(objectPrototype_);
    constructor("MovieClip", movieClipPrototype_, [](Machine&, Value, Arguments&) { return Value(Undefined{}); });
    timeline_->prototype = movieClipPrototype_;

    // Math.
    Object* math = makeObject(objectPrototype_);
    global_->put(key("Math"), Value(math), Property::DontEnum);
    const auto unary = [&](std::string_view name, double (*f)(double)) {
        method(math, name, [f](Machine& m, Value, Arguments& a) { return Value(f(m.toNumber(argument(a, 0)))); });
    };
    unary("abs", [](double x) { return std::fabs(x); });
    unary("acos", [](double x) { return std::acos(x); });
    unary("asin", [](double x) { return std::asin(x); });
    unary("atan", [](double x) { return std::atan(x); });
    unary("ceil", [](double x) { return std::ceil(x); });
    unary("cos", [](double x) { return std::cos(x); });
    unary("exp", [](double x) { return std::exp(x); });
    unary("floor", [](double x) { return std::floor(x); });
    unary("log", [](double x) { return std::log(x); });
    unary("round", [](double x) { return std::floor(x + 0.5); });
    unary("sin", [](double x) { return std::sin(x); });
    unary("sqrt", [](double x) { return std::sqrt(x); });
    unary("tan", [](double x) { return std::tan(x); });
    method(math, "atan2", [](Machine& m, Value, Arguments& a) {
        return Value(std::atan2(m.toNumber(argument(a, 0)), m.toNumber(argument(a, 1))));
    });
    method(math, "pow", [](Machine& m, Value, Arguments& a) {
        return Value(std::pow(m.toNumber(argument(a, 0)), m.toNumber(argument(a, 1))));
    });
    method(math, "min", [](Machine& m, Value, Arguments& a) {
        double least = INFINITY;
        for (const Value& v : a) {
            const double x = m.toNumber(v);
            least = std::isnan(x) || std::isnan(least) ? NAN : std::min(least, x);
        }
        return Value(least);
    });
    method(math, "max", [](Machine& m, Value, Arguments& a) {
        double most = -INFINITY;
        for (const Value& v : a) {
            const double x = m.toNumber(v);
            most = std::isnan(x) || std::isnan(most) ? NAN : std::max(most, x);
        }
        return Value(most);
    });
    method(math, "random", [](Machine& m, Value, Arguments&) {
        return Value(std::uniform_real_distribution<double>(0, 1)(m.random()));
    });
    constant(math, "PI", std::numbers::pi);
    constant(math, "E", std::numbers::e);
    constant(math, "LN2", std::numbers::ln2);
    constant(math, "LN10", std::numbers::ln10);
    constant(math, "LOG2E", std::numbers::log2e);
    constant(math, "LOG10E", std::numbers::log10e);
    constant(math, "SQRT2", std::numbers::sqrt2);
    constant(math, "SQRT1_2", std::numbers::sqrt2 / 2);

    // Global functions.
    constant(global_, "NaN", NAN);
    constant(global_, "Infinity", INFINITY);
    global("isNaN", [](Machine& m, Value, Arguments& a) { return Value(std::isnan(m.toNumber(argument(a, 0)))); });
    global("isFinite",
           [](Machine& m, Value, Arguments& a) { return Value(std::isfinite(m.toNumber(argument(a, 0)))); });
    global("parseFloat", [](Machine& m, Value, Arguments& a) {
        // The longest number at the start of the string.
        const std::string text = m.toString(argument(a, 0));
        std::size_t start = text.find_first_not_of(" \t\r\n");
        if (start == std::string::npos)
            return Value(NAN);
        for (std::size_t end = std::min(text.size(), start + 64); end > start; --end) {
            const double x = m.conversions().toNumber(text.substr(start, end - start));
            if (!std::isnan(x) && text.compare(start, 2, "0x") != 0)
                return Value(x);
        }
        return Value(NAN);
    });
    global("parseInt", [](Machine& m, Value, Arguments& a) {
        const std::string text = m.toString(argument(a, 0));
        std::size_t at = std::min(text.find_first_not_of(" \t\r\n"), text.size());
        bool negative = false;
        if (at < text.size() && (text[at] == '-' || text[at] == '+'))
            negative = text[at++] == '-';
        double radix = a.size() > 1 ? m.toNumber(a[1]) : 0;
        if (text.compare(at, 2, "0x") == 0 || text.compare(at, 2, "0X") == 0) {
            if (radix == 0 || radix == 16) {
                radix = 16;
                at += 2;
            }
        }
        if (!(radix >= 2 && radix <= 36))
            radix = 10;
        double value = 0;
        bool any = false;
        for (; at < text.size(); ++at) {
            const char c = text[at];
            const int digit = c >= '0' && c <= '9'   ? c - '0'
                              : c >= 'a' && c <= 'z' ? c - 'a' + 10
                              : c >= 'A' && c <= 'Z' ? c - 'A' + 10
                                                     : 99;
            if (digit >= radix)
                break;
            value = value * radix + digit;
            any = true;
        }
        return Value(any ? (negative ? -value : value) : NAN);
    });
    // URL encoding, as click-through addresses are passed: each byte but letters and digits as %XX.
    global("escape", [](Machine& m, Value, Arguments& a) {
        std::string out;
        for (const char c : m.toString(argument(a, 0))) {
            const auto byte = static_cast<unsigned char>(c);
            if ((byte >= '0' && byte <= '9') || ((byte | 0x20) >= 'a' && (byte | 0x20) <= 'z')) {
                out += c;
            } else {
                constexpr char kHex[] = "0123456789ABCDEF";
                out += {'%', kHex[byte >> 4], kHex[byte & 15]};
            }
        }
        return Value(m.capped(std::move(out)));
    });
    // %XX is a byte; %uXXXX, as escaped JavaScript writes, is a character.
    global("unescape", [utf8](Machine& m, Value, Arguments& a) {
        const std::string text = m.toString(argument(a, 0));
        const auto hex = [&text](std::size_t at, std::size_t digits) {
            int value = 0;
            for (std::size_t i = at; i < at + digits; ++i) {
                const char c = i < text.size() ? text[i] : '\0';
                const int digit = c >= '0' && c <= '9'   ? c - '0'
                                  : c >= 'a' && c <= 'f' ? c - 'a' + 10
                                  : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                                         : -1;
                if (digit < 0)
                    return -1;
                value = value * 16 + digit;
            }
            return value;
        };
        std::string out;
        for (std::size_t i = 0; i < text.size(); ++i) {
            const bool wide = text[i] == '%' && i + 1 < text.size() && (text[i + 1] | 0x20) == 'u';
            const int code = text[i] != '%' ? -1 : wide ? hex(i + 2, 4) : hex(i + 1, 2);
            if (code < 0) {
                out += text[i];
            } else if (wide) {
                out += character(std::uint32_t(code), utf8);
                i += 5;
            } else {
                out += char(code);
                i += 2;
            }
        }
        return Value(m.capped(std::move(out)));
    });
    // Hides, protects or frees properties, as class declarations do to their prototypes.
    global("ASSetPropFlags", [](Machine& m, Value, Arguments& a) {
        Object* object = objectIn(argument(a, 0));
        if (!object)
            return Value(Undefined{});
        const auto set = std::uint8_t(Conversions::toInt32(m.toNumber(argument(a, 2))) & 7);
        const auto clear = std::uint8_t(Conversions::toInt32(m.toNumber(argument(a, 3))) & 7);
        const Value names = argument(a, 1);
        std::vector<std::string> keys;
        if (std::holds_alternative<Null>(names)) {
            keys = object->keys();
        } else {
            std::string list = m.toString(names);
            for (std::size_t from = 0; from <= list.size();) {
                const std::size_t comma = std::min(list.find(',', from), list.size());
                keys.push_back(m.key(list.substr(from, comma - from)));
                from = comma + 1;
            }
        }
        for (const std::string& name : keys)
            object->setFlags(name, set, clear);
        return Value(Undefined{});
    });

    // AsBroadcaster: objects that keep listeners and tell them a message by name, as tweens and
    // their beacon are made of. initialize(o) gives o the three methods and its `_listeners`.
    Object* broadcaster = makeObject(objectPrototype_);
    global_->put(key("AsBroadcaster"), Value(broadcaster), Property::DontEnum);
    const auto without = [elements](Machine& m, const Value& self, const Value& listener) {
        std::vector<Value> kept = elements(m.member(self, "_listeners"));
        const auto before = kept.size();
        std::erase_if(kept, [&](const Value& v) { return objectIn(v) && objectIn(v) == objectIn(listener); });
        return std::pair{kept, kept.size() != before};
    };
    method(broadcaster, "addListener", [without, setElements](Machine& m, Value self, Arguments& a) {
        auto [listeners, removed] = without(m, self, argument(a, 0));
        listeners.push_back(argument(a, 0));
        setElements(m.member(self, "_listeners"), std::move(listeners));
        return Value(true);
    });
    method(broadcaster, "removeListener", [without, setElements](Machine& m, Value self, Arguments& a) {
        auto [listeners, removed] = without(m, self, argument(a, 0));
        setElements(m.member(self, "_listeners"), std::move(listeners));
        return Value(removed);
    });
    method(broadcaster, "broadcastMessage", [elements](Machine& m, Value self, Arguments& a) {
        const std::vector<Value> listeners = elements(m.member(self, "_listeners"));
        if (listeners.empty())
            return Value(Undefined{});
        const std::string message = m.toString(argument(a, 0));
        for (const Value& listener : listeners) {
            std::vector<Value> rest(a.size() > 1 ? a.begin() + 1 : a.end(), a.end());
            m.call(m.member(listener, message), listener, rest);
        }
        return Value(true);
    });
    method(broadcaster, "initialize", [broadcaster, arrayOf](Machine& m, Value, Arguments& a) {
        Object* object = objectIn(argument(a, 0));
        if (!object)
            return Value(Undefined{});
        for (const char* name : {"addListener", "removeListener", "broadcastMessage"})
            object->put(m.key(name), m.member(Value(broadcaster), name), Property::DontEnum);
        object->put(m.key("_listeners"), arrayOf({}), Property::DontEnum);
        return Value(Undefined{});
    });
}

} // namespace quillmere::swf::avm1
