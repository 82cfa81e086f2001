#include "swf/avm1/code.h"

#include <algorithm>
#include <cstring>

#include "swf/byte_reader.h"
#include "swf/format_error.h"

namespace quillmere::swf::avm1 {

namespace {

double readDouble(ByteReader& in)
{
    // Two little-endian halves, the high one first.
    const std::uint64_t high = in.u32(), low = in.u32();
    const std::uint64_t bits = high << 32 | low;
    double value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

float readFloat(ByteReader& in)
{
    const std::uint32_t bits = in.u32();
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

void readPush(ByteReader& in, std::vector<PushOperand>& operands)
{
    while (!in.atEnd()) {
        switch (in.u8()) {
        case 0: operands.emplace_back(Value(in.string())); break;
        case 1: operands.emplace_back(Value(double(readFloat(in)))); break;
        case 2: operands.emplace_back(Value(Null{})); break;
        case 3: operands.emplace_back(Value(Undefined{})); break;
        case 4: operands.emplace_back(RegisterOperand{in.u8()}); break;
        case 5: operands.emplace_back(Value(in.u8() != 0)); break;
        case 6: operands.emplace_back(Value(readDouble(in))); break;
        case 7: operands.emplace_back(Value(double(std::int32_t(in.u32())))); break;
        case 8: operands.emplace_back(PoolOperand{in.u8()}); break;
        case 9: operands.emplace_back(PoolOperand{in.u16()}); break;
        default: return; // an unknown type: the rest cannot be read
        }
    }
}

// A place in the code given as a byte offset, made an instruction's index once every
// instruction's offset is known.
struct Branch {
    enum Slot { Target, CatchStart, FinallyStart };
    std::size_t instruction;
    Slot slot;
    std::size_t byte;
    bool exact; // a branch into an action goes nowhere; a block's end is taken at the next action
};

// Reads the operands of `instruction`, the `index`-th, whose body ends at byte `next`.
void readOperands(Instruction& instruction, std::size_t index, ByteReader& body, std::size_t next,
                  std::vector<Branch>& branches)
{
    const auto branch = [&](Branch::Slot slot, std::size_t byte, bool exact) {
        branches.push_back({index, slot, byte, exact});
    };
    switch (instruction.code) {
    case op::GotoFrame: instruction.number = body.u16(); break;
    case op::GetUrl:
        instruction.strings.push_back(body.string());
        instruction.strings.push_back(body.string());
        break;
    case op::StoreRegister: instruction.number = body.u8(); break;
    case op::ConstantPool: {
        const std::size_t count = body.u16();
        for (std::size_t i = 0; i < count; ++i) // each at least a byte: as many as the bytes hold
            instruction.strings.push_back(body.string());
        break;
    }
    case op::WaitForFrame:
        instruction.number = body.u16();
        instruction.flags = body.u8();
        break;
    case op::WaitForFrame2: instruction.flags = body.u8(); break;
    case op::SetTarget:
    case op::GotoLabel: instruction.strings.push_back(body.string()); break;
    case op::GetUrl2: instruction.flags = body.u8(); break;
    case op::GotoFrame2:
        instruction.flags = body.u8() & 0x03;
        if (instruction.flags & 0x02)
            instruction.number = body.u16();
        break;
    case op::Push: readPush(body, instruction.push); break;
    case op::Jump:
    case op::If: branch(Branch::Target, std::size_t(std::ptrdiff_t(next) + body.s16()), true); break;
    case op::With: branch(Branch::Target, next + body.u16(), false); break;
    case op::DefineFunction:
    case op::DefineFunction2: {
        auto function = std::make_shared<FunctionDefinition>();
        function->function2 = instruction.code == op::DefineFunction2;
        function->name = body.string();
        const std::size_t count = body.u16();
        if (function->function2) {
            function->registerCount = body.u8();
            function->flags = body.u16();
        }
        for (std::size_t i = 0; i < count; ++i) {
            FunctionDefinition::Parameter parameter;
            if (function->function2)
                parameter.register_ = body.u8();
            parameter.name = body.string();
            function->parameters.push_back(std::move(parameter));
        }
        instruction.function = std::move(function);
        branch(Branch::Target, next + body.u16(), false);
        break;
    }
    case op::Try: {
        auto block = std::make_shared<TryBlock>();
        const std::uint8_t flags = body.u8();
        block->hasCatch = flags & 0x01;
        block->hasFinally = flags & 0x02;
        block->catchInRegister = flags & 0x04;
        const std::size_t trySize = body.u16(), catchSize = body.u16(), finallySize = body.u16();
        if (block->catchInRegister)
            block->catchRegister = body.u8();
        else
            block->catchName = body.string();
        instruction.tryBlock = std::move(block);
        branch(Branch::CatchStart, next + trySize, false);
        branch(Branch::FinallyStart, next + trySize + catchSize, false);
        branch(Branch::Target, next + trySize + catchSize + finallySize, false);
        break;
    }
    default: break; // no operands, or none that are read
    }
}

} // namespace

Code decode(std::string_view bytes)
{
    Code code;
    std::vector<std::size_t> offsets; // of each instruction, in the bytes
    std::vector<Branch> branches;
    ByteReader in(bytes);
    std::size_t end = bytes.size(); // where the code ends: a branch there ends it
    while (!in.atEnd()) {
        const std::size_t at = in.position();
        const std::uint8_t action = in.u8();
        if (action == op::End) {
            end = at; // a branch to the End action ends the code too
            break;
        }
        std::size_t length = 0;
        if (action >= 0x80) {
            if (in.remaining() < 2)
                break;
            length = in.u16();
            if (length > in.remaining())
                break; // an action that runs past the block: the block ends before it
        }
        ByteReader body = in.sub(length);
        Instruction& instruction = code.instructions.emplace_back();
        instruction.code = action;
        offsets.push_back(at);
        const std::size_t branchesBefore = branches.size();
        try {
            readOperands(instruction, offsets.size() - 1, body, in.position(), branches);
        } catch (const FormatError&) {
            // Operands cut short by the action's length. Those read are kept, but an action
            // whose block or branch is not all there does nothing.
            switch (instruction.code) {
            case op::Jump:
            case op::If:
            case op::With:
            case op::Try:
            case op::DefineFunction:
            case op::DefineFunction2:
                branches.resize(branchesBefore);
                instruction = Instruction{};
                instruction.code = op::Unreadable;
                break;
            default: break;
            }
        }
    }
    end = std::min(end, in.position());
    for (const Branch& branch : branches) {
        const auto found = std::lower_bound(offsets.begin(), offsets.end(), branch.byte);
        auto index = std::uint32_t(found - offsets.begin());
        if (branch.byte >= end && branch.byte <= bytes.size())
            index = std::uint32_t(offsets.size());
        else if (branch.exact && (found == offsets.end() || *found != branch.byte))
            index = kOutside;
        Instruction& instruction = code.instructions[branch.instruction];
        switch (branch.slot) {
        case Branch::Target: instruction.target = index; break;
        case Branch::CatchStart: instruction.tryBlock->catchStart = index; break;
        case Branch::FinallyStart: instruction.tryBlock->finallyStart = index; break;
        }
    }
    return code;
}

} // namespace quillmere::swf::avm1
