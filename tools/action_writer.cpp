#include "action_writer.h"

#include <cstring>
#include <stdexcept>

namespace quillmere::swf {

namespace {

void u16(std::string& out, std::uint32_t value)
{
    out += char(value & 0xFF);
    out += char(value >> 8 & 0xFF);
}

void u32(std::string& out, std::uint32_t value)
{
    u16(out, value & 0xFFFF);
    u16(out, value >> 16);
}

void pushedNumber(std::string& out, double number)
{
    std::uint64_t bits;
    std::memcpy(&bits, &number, sizeof bits);
    out += char(6);
    u32(out, std::uint32_t(bits >> 32)); // the high half first
    u32(out, std::uint32_t(bits));
}

} // namespace

ActionWriter& ActionWriter::action(std::uint8_t code, const std::string& body)
{
    bytes_ += char(code);
    if (code >= 0x80) {
        u16(bytes_, std::uint32_t(body.size()));
        bytes_ += body;
    }
    return *this;
}

ActionWriter& ActionWriter::op(std::uint8_t code)
{
    return action(code, {});
}

ActionWriter& ActionWriter::push(const std::vector<avm1::PushOperand>& values)
{
    std::string body;
    for (const avm1::PushOperand& operand : values) {
        if (const auto* reg = std::get_if<avm1::RegisterOperand>(&operand)) {
            body += char(4);
            body += char(reg->index);
        } else if (const auto* pooled = std::get_if<avm1::PoolOperand>(&operand)) {
            body += char(9);
            u16(body, pooled->index);
        } else {
            const avm1::Value& value = std::get<avm1::Value>(operand);
            if (const auto* text = std::get_if<std::string>(&value)) {
                body += char(0);
                body += *text;
                body += '\0';
            } else if (const auto* number = std::get_if<double>(&value)) {
                pushedNumber(body, *number);
            } else if (const auto* flag = std::get_if<bool>(&value)) {
                body += char(5);
                body += char(*flag ? 1 : 0);
            } else {
                body += char(std::holds_alternative<avm1::Null>(value) ? 2 : 3);
            }
        }
    }
    return action(avm1::op::Push, body);
}

ActionWriter& ActionWriter::push(const std::string& text)
{
    return action(avm1::op::Push, std::string(1, '\0') + text + '\0');
}

ActionWriter& ActionWriter::push(double number)
{
    std::string body;
    pushedNumber(body, number);
    return action(avm1::op::Push, body);
}

ActionWriter& ActionWriter::constantPool(const std::vector<std::string>& constants)
{
    std::string body;
    u16(body, std::uint32_t(constants.size()));
    for (const std::string& constant : constants)
        body += constant + '\0';
    return action(avm1::op::ConstantPool, body);
}

ActionWriter& ActionWriter::storeRegister(std::uint8_t index)
{
    return action(avm1::op::StoreRegister, std::string(1, char(index)));
}

ActionWriter& ActionWriter::gotoFrame(std::uint16_t frame)
{
    std::string body;
    u16(body, frame);
    return action(avm1::op::GotoFrame, body);
}

ActionWriter& ActionWriter::gotoFrame2(bool play)
{
    return action(avm1::op::GotoFrame2, std::string(1, char(play ? 1 : 0)));
}

ActionWriter& ActionWriter::getUrl(const std::string& address, const std::string& target)
{
    return action(avm1::op::GetUrl, address + '\0' + target + '\0');
}

ActionWriter& ActionWriter::label(const std::string& name)
{
    labels_[name] = bytes_.size();
    return *this;
}

ActionWriter& ActionWriter::branch(std::uint8_t code, const std::string& label)
{
    action(code, std::string(2, '\0'));
    branches_.emplace_back(bytes_.size() - 2, label);
    return *this;
}

ActionWriter& ActionWriter::function(const std::string& name, const std::vector<std::string>& parameters,
                                     const ActionWriter& body)
{
    const std::string code = body.actions();
    std::string head = name + '\0';
    u16(head, std::uint32_t(parameters.size()));
    for (const std::string& parameter : parameters)
        head += parameter + '\0';
    u16(head, std::uint32_t(code.size()));
    action(avm1::op::DefineFunction, head);
    bytes_ += code;
    return *this;
}

ActionWriter& ActionWriter::function2(const std::string& name,
                                      const std::vector<std::pair<std::string, std::uint8_t>>& parameters,
                                      std::uint8_t registers, std::uint16_t flags, const ActionWriter& body)
{
    const std::string code = body.actions();
    std::string head = name + '\0';
    u16(head, std::uint32_t(parameters.size()));
    head += char(registers);
    u16(head, flags);
    for (const auto& [parameter, reg] : parameters) {
        head += char(reg);
        head += parameter + '\0';
    }
    u16(head, std::uint32_t(code.size()));
    action(avm1::op::DefineFunction2, head);
    bytes_ += code;
    return *this;
}

ActionWriter& ActionWriter::tryCatch(const ActionWriter& body, const std::string& caught, const ActionWriter& handler,
                                     const ActionWriter& finally)
{
    // The try block ends by jumping over the catch block, as compilers write it.
    std::string tried = body.actions();
    const std::string handled = handler.actions(), last = finally.actions();
    tried += char(avm1::op::Jump);
    u16(tried, 2);
    u16(tried, std::uint32_t(handled.size()));
    std::string head;
    head += char(0x01 | (last.empty() ? 0 : 0x02));
    u16(head, std::uint32_t(tried.size()));
    u16(head, std::uint32_t(handled.size()));
    u16(head, std::uint32_t(last.size()));
    head += caught + '\0';
    action(avm1::op::Try, head);
    bytes_ += tried + handled + last;
    return *this;
}

std::string ActionWriter::bytes() const
{
    return actions() + '\0';
}

std::string ActionWriter::actions() const
{
    std::string out = bytes_;
    for (const auto& [at, label] : branches_) {
        const auto found = labels_.find(label);
        if (found == labels_.end())
            throw std::logic_error("no label " + label);
        const auto offset = std::int32_t(found->second) - std::int32_t(at + 2); // from the next action
        out[at] = char(offset & 0xFF);
        out[at + 1] = char(offset >> 8 & 0xFF);
    }
    return out;
}

} // namespace quillmere::swf
