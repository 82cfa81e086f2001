#include <cstring>

#include "swf/format_error.h"
#include "swf/record_readers.h"

namespace quillmere::swf {

namespace {

// Read as it comes, to resolve the pushes that follow; never a list's action.
constexpr std::uint8_t kConstantPool = 0x88;

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

std::vector<Value> readPush(ByteReader& in, const std::vector<std::string>& pool)
{
    std::vector<Value> values;
    const auto pooled
        = [&pool](std::size_t index) -> Value { return index < pool.size() ? Value(pool[index]) : Value(); };
    while (!in.atEnd()) {
        switch (in.u8()) {
        case 0: values.emplace_back(in.string()); break;
        case 1: values.emplace_back(double(readFloat(in))); break;
        case 2:
        case 3: values.emplace_back(); break;
        case 4:
            in.u8();
            values.emplace_back();
            break; // a register: not kept by this player
        case 5: values.emplace_back(in.u8() != 0); break;
        case 6: values.emplace_back(readDouble(in)); break;
        case 7: values.emplace_back(double(std::int32_t(in.u32()))); break;
        case 8: values.push_back(pooled(in.u8())); break;
        case 9: values.push_back(pooled(in.u16())); break;
        default: return values; // an unknown type: the rest cannot be read
        }
    }
    return values;
}

} // namespace

ActionList readActions(ByteReader& in, Budget& budget)
{
    ActionList actions;
    std::vector<std::string> pool;
    while (!in.atEnd()) {
        const std::uint8_t code = in.u8();
        if (code == 0)
            break;
        ByteReader body = code >= 0x80 ? in.sub(in.u16()) : ByteReader({});
        budget.spendRecords(1);
        if (code == kConstantPool) {
            pool.assign(body.u16(), {});
            budget.spendRecords(pool.size());
            for (auto& constant : pool)
                constant = body.string();
            continue;
        }
        Action action;
        action.op = Action::Op(code);
        switch (action.op) {
        case Action::Op::NextFrame:
        case Action::Op::PreviousFrame:
        case Action::Op::Play:
        case Action::Op::Stop:
        case Action::Op::Pop:
        case Action::Op::GetVariable:
        case Action::Op::SetVariable:
        case Action::Op::GetUrl2: break;
        case Action::Op::GotoFrame: action.frame = body.u16(); break;
        case Action::Op::GotoLabel: action.text = body.string(); break;
        case Action::Op::GetUrl:
            action.text = body.string();
            action.target = body.string();
            break;
        case Action::Op::GotoFrame2: {
            const std::uint8_t flags = body.u8();
            action.play = flags & 0x01;
            if (flags & 0x02)
                action.frame = body.u16(); // scene bias
            break;
        }
        case Action::Op::Push:
            action.values = readPush(body, pool);
            budget.spendRecords(action.values.size());
            break;
        case Action::Op::Other:
        default: continue; // every other action does nothing here
        }
        actions.push_back(std::move(action));
    }
    return actions;
}

namespace {

std::vector<Button::Record> readButtonRecords(ByteReader& in, bool button2, Budget& budget)
{
    std::vector<Button::Record> records;
    while (true) {
        const std::uint8_t flags = in.u8();
        if (flags == 0)
            break;
        budget.spendRecords(1);
        Button::Record record;
        record.states = flags & 0x0F;
        record.characterId = in.u16();
        record.depth = in.u16();
        record.matrix = readMatrix(in);
        if (button2) {
            record.colorTransform = readColorTransform(in, true);
            if (flags & 0x10)
                record.filters = readFilters(in);
            if (flags & 0x20)
                record.blendMode = readBlendMode(in);
        }
        records.push_back(record);
    }
    return records;
}

} // namespace

Button readButton(ByteReader& in, bool button2, Budget& budget)
{
    Button button;
    if (!button2) {
        button.records = readButtonRecords(in, false, budget);
        button.onRelease.push_back(readActions(in, budget));
        return button;
    }
    in.u8(); // track as menu
    const std::size_t actionOffset = in.u16();
    const std::size_t start = in.position();
    button.records = readButtonRecords(in, true, budget);
    if (actionOffset == 0)
        return button;
    if (actionOffset < 2 || start + actionOffset - 2 < in.position())
        throw FormatError("button actions overlap its records");
    in.skip(start + actionOffset - 2 - in.position());
    while (!in.atEnd()) {
        const std::size_t size = in.u16();
        const std::uint8_t conditions = in.u8();
        in.u8(); // key press and the rare transitions
        const std::size_t length = size == 0 ? in.remaining() : std::max<std::size_t>(size, 4) - 4;
        ByteReader body = in.sub(std::min(length, in.remaining()));
        ActionList actions = readActions(body, budget);
        if (conditions & 0x08) // over, down, to over, up: a click released on the button
            button.onRelease.push_back(actions);
        if (conditions & 0x04) // over, up, to over, down: the press
            button.onPress.push_back(std::move(actions));
        if (size == 0)
            break;
    }
    return button;
}

} // namespace quillmere::swf
