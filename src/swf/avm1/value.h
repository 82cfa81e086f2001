#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <variant>

namespace quillmere::swf::avm1 {

struct Undefined {
    bool operator==(const Undefined&) const = default;
};
struct Null {
    bool operator==(const Null&) const = default;
};

class Object;

// A value on the stack of a movie's scripts. Objects live in the machine's heap, which owns them.
using Value = std::variant<Undefined, Null, bool, double, std::string, Object*>;

// How values convert changed with the format's versions: a movie is run by the rules of the
// version its header gives.
class Conversions {
public:
    explicit Conversions(int version) : version_(version) {}

    int version() const { return version_; }
    // An object converts as the machine finds its primitive value; here, as a plain one.
    double toNumber(const Value& value) const;
    // Numbers as players print them: at most 15 significant digits, "NaN", "Infinity".
    std::string toString(const Value& value) const;
    bool toBoolean(const Value& value) const;
    // A number taken to a 32-bit integer, as the bit operations and ToInteger take it.
    static std::int32_t toInt32(double number);

private:
    double stringToNumber(std::string_view text) const;
    int version_;
};

std::string numberToString(double number);

} // namespace quillmere::swf::avm1
