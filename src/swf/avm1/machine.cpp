#include "swf/avm1/machine.h"

#include <algorithm>
#include <cmath>

#include "base/utf8.h"

namespace quillmere::swf::avm1 {

namespace {

// Where each character of `text` starts, and its end: UTF-8 characters from version 6 on, bytes
// before. A byte that starts no well-formed character is one of its own.
std::vector<std::size_t> characterStarts(std::string_view text, bool utf8)
{
    std::vector<std::size_t> starts;
    for (std::size_t at = 0; at < text.size();) {
        starts.push_back(at);
        at += utf8 ? std::max<std::size_t>(1, utf8CharLength(text.substr(at))) : 1;
    }
    starts.push_back(text.size());
    return starts;
}

// `count` characters of `text` from the `first` (0-based); a negative count reaches the end.
std::string characters(std::string_view text, bool utf8, double first, double count)
{
    const std::vector<std::size_t> starts = characterStarts(text, utf8);
    const double length = double(starts.size() - 1);
    if (std::isnan(first) || first < 0)
        first = 0;
    first = std::min(std::trunc(first), length);
    if (std::isnan(count) || count < 0 || first + count > length)
        count = length - first;
    const auto from = starts[std::size_t(first)], to = starts[std::size_t(first + std::trunc(count))];
    return std::string(text.substr(from, to - from));
}

// A code point as UTF-8, or as one byte before version 6.
std::string character(std::uint32_t code, bool utf8)
{
    if (!utf8 || code < 0x80)
        return std::string(1, char(code & 0xFF));
    if (code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
        code = 0xFFFD;
    std::string out;
    if (code < 0x800) {
        out += char(0xC0 | code >> 6);
    } else if (code < 0x10000) {
        out += char(0xE0 | code >> 12);
        out += char(0x80 | (code >> 6 & 0x3F));
    } else {
        out += char(0xF0 | code >> 18);
        out += char(0x80 | (code >> 12 & 0x3F));
        out += char(0x80 | (code >> 6 & 0x3F));
    }
    out += char(0x80 | (code & 0x3F));
    return out;
}

std::uint32_t firstCode(std::string_view text, bool utf8)
{
    if (text.empty())
        return 0;
    if (const std::size_t length = utf8 ? utf8CharLength(text) : 0; length > 1)
        return utf8CodePoint(text.substr(0, length));
    return static_cast<unsigned char>(text.front());
}

} // namespace

Machine::Machine(int version, std::uint32_t seed) : convert_(version), random_(seed)
{
}

Value Machine::pop()
{
    if (stack_.empty())
        return Undefined{};
    Value top = std::move(stack_.back());
    stack_.pop_back();
    return top;
}

bool Machine::push(Value value)
{
    if (stack_.size() >= kMostStackValues)
        return false;
    // A string is copied to be pushed: a long one costs as many actions as it has bytes in 256,
    // so that copying long strings over and over cannot hold the frame for seconds.
    if (const auto* text = std::get_if<std::string>(&value))
        actionsLeft_ -= std::min(actionsLeft_, text->size() / kBytesAnAction);
    stack_.push_back(std::move(value));
    return true;
}

std::string Machine::key(std::string_view name) const
{
    std::string out(name);
    if (convert_.version() <= 6)
        std::transform(out.begin(), out.end(), out.begin(),
                       [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; });
    return out;
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

bool Machine::looselyEquals(const Value& a, const Value& b) const
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
    // A boolean compares as its number, a string with a number as the number it reads as.
    return convert_.toNumber(a) == convert_.toNumber(b);
}

Value Machine::lessThan(const Value& a, const Value& b) const
{
    const auto* x = std::get_if<std::string>(&a);
    const auto* y = std::get_if<std::string>(&b);
    if (x && y)
        return *x < *y;
    const double m = convert_.toNumber(a), n = convert_.toNumber(b);
    if (std::isnan(m) || std::isnan(n))
        return Undefined{};
    return m < n;
}

bool Machine::store(std::string_view name, Value value)
{
    const auto size = [](const Value& v) {
        const auto* text = std::get_if<std::string>(&v);
        return text ? text->size() : 0;
    };
    std::string k = key(name);
    const auto found = variables_.find(k);
    const std::size_t before = found == variables_.end() ? 0 : size(found->second) + found->first.size();
    const std::size_t after = size(value) + k.size();
    if (found == variables_.end() && variables_.size() >= kMostVariables)
        return false;
    if (heldBytes_ - before + after > kMostHeldBytes)
        return false;
    heldBytes_ = heldBytes_ - before + after;
    variables_.insert_or_assign(std::move(k), std::move(value));
    return true;
}

Value Machine::variable(std::string_view name) const
{
    const auto found = variables_.find(key(name));
    return found == variables_.end() ? Value(Undefined{}) : found->second;
}

Machine::Ending Machine::run(const Code& code, Host& host)
{
    const int version = convert_.version();
    const bool utf8 = version >= 6;
    const auto number = [this](const Value& v) { return convert_.toNumber(v); };
    const auto text = [this](const Value& v) { return convert_.toString(v); };
    // The two operands of a binary action: `b` pushed first, `a` last.
    Value a, b;
    const auto operands = [&] {
        a = pop();
        b = pop();
    };
    stack_.clear(); // what a block left on the stack is not the next one's
    const std::vector<Instruction>& instructions = code.instructions;
    std::size_t at = 0;
    while (at < instructions.size()) {
        if (actionsLeft_ == 0)
            return Ending::OverBudget;
        --actionsLeft_;
        const Instruction& instruction = instructions[at++];
        bool pushed = true;
        switch (instruction.code) {
        // The timeline.
        case op::NextFrame: host.nextFrame(); break;
        case op::PreviousFrame: host.previousFrame(); break;
        case op::Play: host.play(); break;
        case op::Stop: host.stop(); break;
        case op::GotoFrame: host.gotoFrame(instruction.number, false); break;
        case op::GotoLabel:
            if (!instruction.strings.empty())
                host.gotoLabel(instruction.strings.front(), false);
            break;
        case op::GotoFrame2: {
            const Value target = pop();
            const bool play = instruction.flags & 0x01;
            if (const auto* label = std::get_if<std::string>(&target); label && !std::isfinite(number(target)))
                host.gotoLabel(*label, play);
            else if (const double frame = number(target); frame >= 1 && frame < 4294967296.0)
                host.gotoFrame(std::uint32_t(frame - 1 + instruction.number), play);
            break;
        }
        case op::GetUrl:
            if (instruction.strings.size() == 2)
                host.getUrl(instruction.strings[0], instruction.strings[1]);
            break;
        case op::GetUrl2: {
            const std::string target = text(pop());
            host.getUrl(text(pop()), target);
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
                    pushed = push(*value);
                else if (const auto* reg = std::get_if<RegisterOperand>(&operand))
                    pushed = push(reg->index < registers_.size() ? registers_[reg->index] : Value(Undefined{}));
                else {
                    const std::size_t index = std::get<PoolOperand>(operand).index;
                    pushed = push(index < pool_.size() ? Value(pool_[index]) : Value(Undefined{}));
                }
                if (!pushed)
                    break;
            }
            break;
        case op::Pop: pop(); break;
        case op::PushDuplicate: {
            Value top = pop();
            pushed = push(top) && push(std::move(top));
            break;
        }
        case op::StackSwap:
            operands();
            pushed = push(std::move(a)) && push(std::move(b));
            break;
        case op::StoreRegister:
            if (instruction.number < registers_.size())
                registers_[instruction.number] = stack_.empty() ? Value(Undefined{}) : stack_.back();
            break;
        case op::ConstantPool: pool_ = instruction.strings; break;

        // Numbers.
        case op::Add:
            operands();
            pushed = push(number(b) + number(a));
            break;
        case op::Add2:
            operands();
            if (std::holds_alternative<std::string>(a) || std::holds_alternative<std::string>(b))
                pushed = push(capped(text(b) + text(a)));
            else
                pushed = push(number(b) + number(a));
            break;
        case op::Subtract:
            operands();
            pushed = push(number(b) - number(a));
            break;
        case op::Multiply:
            operands();
            pushed = push(number(b) * number(a));
            break;
        case op::Divide:
            operands();
            if (version < 5 && number(a) == 0)
                pushed = push(std::string("#ERROR#"));
            else
                pushed = push(number(b) / number(a));
            break;
        case op::Modulo:
            operands();
            pushed = push(std::fmod(number(b), number(a)));
            break;
        case op::Increment: pushed = push(number(pop()) + 1); break;
        case op::Decrement: pushed = push(number(pop()) - 1); break;
        case op::ToInteger: pushed = push(double(Conversions::toInt32(number(pop())))); break;
        case op::ToNumber: pushed = push(number(pop())); break;
        case op::ToString: pushed = push(text(pop())); break;
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
            pushed = push(result);
            break;
        }
        case op::RandomNumber: {
            const double limit = number(pop());
            const double bound = std::isfinite(limit) && limit >= 1 ? std::min(std::trunc(limit), 4294967295.0) : 1;
            pushed = push(double(random_() % std::uint32_t(bound)));
            break;
        }
        case op::GetTime: pushed = push(std::trunc(host.milliseconds())); break;

        // Comparisons and logic.
        case op::Equals:
            operands();
            pushed = push(boolean(number(b) == number(a)));
            break;
        case op::Less:
            operands();
            pushed = push(boolean(number(b) < number(a)));
            break;
        case op::Equals2:
            operands();
            pushed = push(looselyEquals(b, a));
            break;
        case op::StrictEquals:
            operands();
            pushed = push(a.index() == b.index() && looselyEquals(b, a));
            break;
        case op::Less2:
            operands();
            pushed = push(lessThan(b, a));
            break;
        case op::Greater:
            operands();
            pushed = push(lessThan(a, b));
            break;
        case op::And:
            operands();
            pushed = push(boolean(convert_.toBoolean(b) && convert_.toBoolean(a)));
            break;
        case op::Or:
            operands();
            pushed = push(boolean(convert_.toBoolean(b) || convert_.toBoolean(a)));
            break;
        case op::Not: pushed = push(boolean(!convert_.toBoolean(pop()))); break;

        // Strings.
        case op::StringAdd:
            operands();
            pushed = push(capped(text(b) + text(a)));
            break;
        case op::StringEquals:
            operands();
            pushed = push(boolean(text(b) == text(a)));
            break;
        case op::StringLess:
            operands();
            pushed = push(boolean(text(b) < text(a)));
            break;
        case op::StringGreater:
            operands();
            pushed = push(boolean(text(b) > text(a)));
            break;
        case op::StringLength:
        case op::MBStringLength: pushed = push(double(characterStarts(text(pop()), utf8).size() - 1)); break;
        case op::StringExtract:
        case op::MBStringExtract: {
            const double count = number(pop()), first = number(pop()); // first counts from 1
            pushed = push(characters(text(pop()), utf8, first - 1, count));
            break;
        }
        case op::CharToAscii:
        case op::MBCharToAscii: pushed = push(double(firstCode(text(pop()), utf8))); break;
        case op::AsciiToChar:
        case op::MBAsciiToChar:
            pushed = push(character(std::uint32_t(Conversions::toInt32(number(pop()))), utf8));
            break;

        // Variables.
        case op::GetVariable: pushed = push(variable(text(pop()))); break;
        case op::SetVariable:
        case op::DefineLocal: {
            Value value = pop();
            if (!store(text(pop()), std::move(value)))
                return Ending::OutOfMemory;
            break;
        }
        case op::DefineLocal2: {
            const std::string name = text(pop());
            if (variables_.find(key(name)) == variables_.end() && !store(name, Undefined{}))
                return Ending::OutOfMemory;
            break;
        }

        // Flow.
        case op::Jump:
        case op::If:
            if (instruction.code == op::Jump || convert_.toBoolean(pop())) {
                if (instruction.target == kOutside)
                    return Ending::Finished;
                at = instruction.target;
            }
            break;
        case op::Return: return Ending::Finished;
        case op::Trace: host.trace(text(pop())); break;
        default: break; // not run by this player yet
        }
        if (!pushed)
            return Ending::Overflow;
    }
    return Ending::Finished;
}

} // namespace quillmere::swf::avm1
