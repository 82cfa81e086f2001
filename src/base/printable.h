#pragma once

#include <string>
#include <string_view>

namespace quillmere {

// Text from the list server made safe for a terminal: control characters are written as \xNN,
// so an error line can never carry escape sequences.
std::string printable(std::string_view text);

} // namespace quillmere
