#include "base/printable.h"

namespace quillmere {

std::string printable(std::string_view text)
{
    static constexpr char hex[] = "0123456789abcdef";
    std::string shown;
    shown.reserve(text.size());
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F)
            shown += {'\\', 'x', hex[byte >> 4], hex[byte & 15]};
        else
            shown += c;
    }
    return shown;
}

} // namespace quillmere
