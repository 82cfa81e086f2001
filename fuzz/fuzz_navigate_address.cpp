// Navigate's address for any list entry: none, or "http://www." and the rest, which every address
// opener hands on (no blank, no control character) and in which each '%' starts an escape.

#include <cctype>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "base/web_address.h"
#include "commands/navigate_address.h"

using namespace quillmere;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view entry(reinterpret_cast<const char*>(data), size);
    const auto address = navigateAddress(entry);
    if (!address)
        return 0;
    if (!address->starts_with("http://www.") || !isBrowserAddress(*address))
        std::abort();
    for (std::size_t at = address->find('%'); at != std::string::npos; at = address->find('%', at + 1))
        if (at + 2 >= address->size() || !std::isxdigit(static_cast<unsigned char>((*address)[at + 1]))
            || !std::isxdigit(static_cast<unsigned char>((*address)[at + 2])))
            std::abort();
    return 0;
}
