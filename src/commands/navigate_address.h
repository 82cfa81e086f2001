#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace quillmere {

// The address Navigate opens for a list entry: "http://www." followed by the entry, whatever
// the entry holds, as the browser would be given it by hand. Blanks around the entry are
// dropped (list files often carry them; site names never do), and what a URL cannot hold is
// percent-encoded: blanks inside it, quotes, angle brackets, a '%' that starts no escape.
// Letters beyond ASCII stay as they are, so that an international name opens as it reads.
// Nothing, when the entry holds a control character: no address can carry one.
std::optional<std::string> navigateAddress(std::string_view entry);

} // namespace quillmere
