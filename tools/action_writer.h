#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "swf/avm1/code.h"

namespace quillmere::swf {

// Writes a block of AVM1 actions, for DoAction and buttons: actions one after another, branches
// to labels resolved when the bytes are taken.
class ActionWriter {
public:
    // An action without operands, such as avm1::op::Add.
    ActionWriter& op(std::uint8_t code);
    ActionWriter& push(const std::vector<avm1::PushOperand>& values);
    ActionWriter& push(const std::string& text);
    ActionWriter& push(double number);
    ActionWriter& constantPool(const std::vector<std::string>& constants);
    ActionWriter& storeRegister(std::uint8_t index);
    ActionWriter& gotoFrame(std::uint16_t frame);
    ActionWriter& gotoFrame2(bool play);
    ActionWriter& getUrl(const std::string& address, const std::string& target);
    ActionWriter& getUrl2() { return action(avm1::op::GetUrl2, std::string(1, '\0')); }
    // Jump and If to the place `label` marks, before or after.
    ActionWriter& jump(const std::string& label) { return branch(avm1::op::Jump, label); }
    ActionWriter& ifTrue(const std::string& label) { return branch(avm1::op::If, label); }
    ActionWriter& label(const std::string& name);
    // DefineFunction, named or (with no name) pushed, with `body` as its actions.
    ActionWriter& function(const std::string& name, const std::vector<std::string>& parameters,
                           const ActionWriter& body);
    // DefineFunction2: each parameter in its register (0: a variable), `flags` preloading.
    ActionWriter& function2(const std::string& name,
                            const std::vector<std::pair<std::string, std::uint8_t>>& parameters, std::uint8_t registers,
                            std::uint16_t flags, const ActionWriter& body);
    // Try with a catch block that takes what was thrown in the variable `caught`, and a finally
    // block when `finally` holds any action.
    ActionWriter& tryCatch(const ActionWriter& body, const std::string& caught, const ActionWriter& handler,
                           const ActionWriter& finally);
    // The actions, then End.
    std::string bytes() const;
    // The actions alone, for a block within others.
    std::string actions() const;

private:
    ActionWriter& branch(std::uint8_t code, const std::string& label);
    ActionWriter& action(std::uint8_t code, const std::string& body);

    std::string bytes_;
    std::map<std::string, std::size_t> labels_;
    std::vector<std::pair<std::size_t, std::string>> branches_; // the offset's place, its label
};

} // namespace quillmere::swf
