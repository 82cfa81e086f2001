#pragma once

#include <optional>
#include <string_view>

namespace quillmere::startup {

// The numeric value of a line of the server notice file, or nothing for a line that is not a
// number (an empty line included). Blanks around the number are allowed: " 2", "2.0" and "02"
// all read as 2.
std::optional<double> noticeValue(std::string_view line);

inline constexpr double kNewVersionNotice = 2;

} // namespace quillmere::startup
