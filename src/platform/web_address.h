#pragma once

#include <string_view>

namespace quillmere::platform {

// Whether an address is one to hand to the desktop's browser: "http://" or "https://" (in any
// case), a host of letters, digits, dots and hyphens (or non-ASCII letters of an international
// name) with an optional port, then a path, query and fragment of the characters a URL holds,
// each '%' followed by two hex digits. Spaces, control characters, quotes, backslashes, a user
// name before the host, and every other scheme are refused. The one rule of every address
// opener, whatever system it runs on.
bool isWebAddress(std::string_view address);

} // namespace quillmere::platform
