#pragma once

#include <string_view>

namespace quillmere {

// Whether an address opener may hand an address to the browser: "http://" or "https://" (in any
// case), then no blank and no control character. Such an address reaches the browser as one
// argument and can never be taken for an option, a file or a command. The one check of every
// address opener, whatever system it runs on.
bool isBrowserAddress(std::string_view address);

// The stricter rule for addresses that a banner's buttons ask for, which no user typed or
// picked: "http://" or "https://" (in any case), a host of letters, digits, dots and hyphens
// (or non-ASCII letters of an international name) with an optional port, then a path, query
// and fragment of the characters RFC 3986 lets a URL hold (the apostrophe among them), each
// '%' followed by two hex digits. Spaces, control characters, double quotes, backslashes, a
// user name before the host, and every other scheme are refused.
bool isWebAddress(std::string_view address);

} // namespace quillmere
