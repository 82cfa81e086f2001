#include "swf/avm1/value.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdint>
#include <limits>
#include <optional>

namespace quillmere::swf::avm1 {

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

std::string_view trimmed(std::string_view text)
{
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

// The whole of `text` as a number in hexadecimal ("0x1F") or decimal notation, or nothing.
std::optional<double> parsed(std::string_view text)
{
    bool negative = false;
    std::string_view digits = text;
    if (!digits.empty() && (digits.front() == '-' || digits.front() == '+')) {
        negative = digits.front() == '-';
        digits.remove_prefix(1);
    }
    if (digits.size() > 2 && digits[0] == '0' && (digits[1] == 'x' || digits[1] == 'X')) {
        double value = 0;
        for (const char c : digits.substr(2)) {
            int digit;
            if (c >= '0' && c <= '9')
                digit = c - '0';
            else if (c >= 'a' && c <= 'f')
                digit = c - 'a' + 10;
            else if (c >= 'A' && c <= 'F')
                digit = c - 'A' + 10;
            else
                return std::nullopt;
            value = value * 16 + digit;
        }
        return negative ? -value : value;
    }
    // from_chars also takes "inf" and "nan", which are no numbers here.
    if (digits.empty() || !(std::isdigit(static_cast<unsigned char>(digits.front())) || digits.front() == '.'))
        return std::nullopt;
    double value = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (end != digits.data() + digits.size() || error == std::errc::invalid_argument)
        return std::nullopt;
    if (error == std::errc::result_out_of_range) { // too large is infinite, too small zero
        const auto e = digits.find_first_of("eE");
        value = e != digits.npos && e + 1 < digits.size() && digits[e + 1] == '-'
                    ? 0
                    : std::numeric_limits<double>::infinity();
    }
    return negative ? -value : value;
}

} // namespace

std::string numberToString(double number)
{
    if (std::isnan(number))
        return "NaN";
    if (std::isinf(number))
        return number > 0 ? "Infinity" : "-Infinity";
    if (number == 0)
        return "0";
    char text[32];
    std::snprintf(text, sizeof text, "%.15g", number);
    // "1e-05" is printed "1e-5", "1e+15" stays.
    std::string out(text);
    const auto e = out.find('e');
    if (e != std::string::npos) {
        std::size_t digit = e + 2;
        while (digit + 1 < out.size() && out[digit] == '0')
            out.erase(digit, 1);
    }
    return out;
}

double Conversions::stringToNumber(std::string_view text) const
{
    text = trimmed(text);
    if (text.empty())
        return version_ >= 7 ? kNaN : 0;
    if (const std::optional<double> value = parsed(text))
        return *value;
    return version_ >= 5 ? kNaN : 0; // the first players took what was no number as 0
}

double Conversions::toNumber(const Value& value) const
{
    if (const auto* number = std::get_if<double>(&value))
        return *number;
    if (const auto* flag = std::get_if<bool>(&value))
        return *flag ? 1 : 0;
    if (const auto* text = std::get_if<std::string>(&value))
        return stringToNumber(*text);
    if (std::holds_alternative<Object*>(value))
        return kNaN;
    return version_ >= 7 ? kNaN : 0; // undefined and null
}

std::string Conversions::toString(const Value& value) const
{
    if (const auto* text = std::get_if<std::string>(&value))
        return *text;
    if (const auto* number = std::get_if<double>(&value))
        return numberToString(*number);
    if (const auto* flag = std::get_if<bool>(&value))
        return *flag ? "true" : "false";
    if (std::holds_alternative<Null>(value))
        return "null";
    if (std::holds_alternative<Object*>(value))
        return "[object Object]";
    return version_ >= 7 ? "undefined" : "";
}

bool Conversions::toBoolean(const Value& value) const
{
    if (const auto* flag = std::get_if<bool>(&value))
        return *flag;
    if (const auto* number = std::get_if<double>(&value))
        return *number != 0 && !std::isnan(*number);
    if (const auto* text = std::get_if<std::string>(&value)) {
        if (version_ >= 7)
            return !text->empty();
        const double number = stringToNumber(*text);
        return number != 0 && !std::isnan(number);
    }
    return std::holds_alternative<Object*>(value);
}

std::int32_t Conversions::toInt32(double number)
{
    if (!std::isfinite(number))
        return 0;
    const double wrapped = std::fmod(std::trunc(number), 4294967296.0);
    const auto bits
        = static_cast<std::uint32_t>(static_cast<std::int64_t>(wrapped < 0 ? wrapped + 4294967296.0 : wrapped));
    return static_cast<std::int32_t>(bits);
}

} // namespace quillmere::swf::avm1
