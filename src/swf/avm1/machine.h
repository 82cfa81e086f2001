#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <map>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "swf/avm1/code.h"
#include "swf/avm1/host.h"
#include "swf/avm1/value.h"

namespace quillmere::swf::avm1 {

// Runs a movie's actions on a stack of values. Whatever the script, a run ends soon: every
// frame has a budget of actions shared by all the scripts it runs, long strings cost more of it,
// and the stack and strings are capped.
class Machine {
public:
    static constexpr std::size_t kActionsAFrame = 200'000;
    static constexpr std::size_t kMostStackValues = 4096;
    static constexpr std::size_t kLongestString = std::size_t(1) << 20; // bytes; longer ones are cut
    static constexpr std::size_t kBytesAnAction = 256;                  // of a string pushed
    // What a movie's variables may hold, all frames together: past it, the script that would
    // store more ends.
    static constexpr std::size_t kMostVariables = 65'536;
    static constexpr std::size_t kMostHeldBytes = std::size_t(64) << 20;

    // `version`: the movie's, whose rules of conversion its scripts follow. `seed`: of random().
    Machine(int version, std::uint32_t seed);

    // A new frame: its scripts share a new budget.
    void startFrame() { actionsLeft_ = kActionsAFrame; }
    enum class Ending {
        Finished,   // at the code's end, an End or a Return
        OverBudget, // the frame's actions ran out: this frame runs no more scripts
        Overflow,   // the stack would pass its cap
        OutOfMemory // the variables would hold more than they may
    };
    Ending run(const Code& code, Host& host);
    bool overBudget() const { return actionsLeft_ == 0; }

    // A variable of the movie, as scripts name it; undefined when there is none.
    Value variable(std::string_view name) const;

private:
    Value pop();
    bool push(Value value);
    std::string key(std::string_view name) const;   // names are case-blind up to version 6
    bool store(std::string_view name, Value value); // false past the variables' caps
    std::string capped(std::string text) const;
    Value boolean(bool value) const; // version 4 had no booleans: 1 and 0
    bool looselyEquals(const Value& a, const Value& b) const;
    Value lessThan(const Value& a, const Value& b) const; // undefined when either is NaN

    Conversions convert_;
    std::size_t actionsLeft_ = kActionsAFrame;
    std::vector<Value> stack_;
    std::array<Value, 4> registers_;
    std::vector<std::string> pool_;
    std::map<std::string, Value> variables_;
    std::size_t heldBytes_ = 0; // by the variables' names and strings
    std::mt19937 random_;
};

} // namespace quillmere::swf::avm1
