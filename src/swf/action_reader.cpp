#include "swf/format_error.h"
#include "swf/record_readers.h"

namespace quillmere::swf {

ActionList readActions(ByteReader& in, Budget& budget)
{
    // The block runs to its End action; nothing of the tag follows it.
    auto code = std::make_shared<avm1::Code>(avm1::decode(in.rest()));
    std::size_t records = code->instructions.size();
    for (const avm1::Instruction& instruction : code->instructions)
        records += instruction.push.size() + instruction.strings.size();
    budget.spendRecords(records);
    return code;
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

// A button condition's transitions, from its first byte, as the events scripts know them by.
constexpr std::pair<std::uint8_t, std::uint32_t> kTransitions[]{
    {0x01, ClipAction::RollOver},       // idle to over, up
    {0x02, ClipAction::RollOut},        // over, up to idle
    {0x04, ClipAction::Press},          // over, up to over, down
    {0x08, ClipAction::Release},        // over, down to over, up
    {0x10, ClipAction::DragOut},        // over, down to out, down
    {0x20, ClipAction::DragOver},       // out, down to over, down
    {0x40, ClipAction::ReleaseOutside}, // out, down to idle
};

} // namespace

Button readButton(ByteReader& in, bool button2, Budget& budget)
{
    Button button;
    if (!button2) {
        button.records = readButtonRecords(in, false, budget);
        button.conditions.push_back({ClipAction::Release, readActions(in, budget)});
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
        const std::uint8_t transitions = in.u8();
        in.u8(); // key presses, and the transitions of buttons tracked as menus
        const std::size_t length = size == 0 ? in.remaining() : std::max<std::size_t>(size, 4) - 4;
        ByteReader body = in.sub(std::min(length, in.remaining()));
        std::uint32_t events = 0;
        for (const auto& [bit, event] : kTransitions)
            if (transitions & bit)
                events |= event;
        if (events)
            button.conditions.push_back({events, readActions(body, budget)});
        if (size == 0)
            break;
    }
    return button;
}

} // namespace quillmere::swf
