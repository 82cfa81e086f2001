#include "startup/notice_line.h"

#include <charconv>
#include <cmath>

namespace quillmere::startup {

std::optional<double> noticeValue(std::string_view line)
{
    constexpr std::string_view blanks = " \t\r\n\f\v";
    const auto first = line.find_first_not_of(blanks);
    if (first == std::string_view::npos)
        return std::nullopt;
    line = line.substr(first, line.find_last_not_of(blanks) - first + 1);
    if (line.front() == '+')
        line.remove_prefix(1);
    double value = 0;
    const auto [end, error] = std::from_chars(line.data(), line.data() + line.size(), value, std::chars_format::fixed);
    if (error != std::errc() || end != line.data() + line.size() || !std::isfinite(value))
        return std::nullopt;
    return value;
}

} // namespace quillmere::startup
