#include "commands/navigate_address.h"

#include <cctype>

namespace quillmere {

namespace {

constexpr std::string_view kPrefix = "http://www.";

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

bool isHex(char c)
{
    return std::isxdigit(static_cast<unsigned char>(c)) != 0;
}

// What RFC 3986 lets a URL hold as it stands, '%' aside. Square brackets are left out: they
// belong only around an IPv6 host, which "www." can never start.
bool urlHolds(char c)
{
    static constexpr std::string_view marks = "-._~:/?#@!$&'()*+,;=";
    const auto byte = static_cast<unsigned char>(c);
    return byte >= 0x80 || std::isalnum(byte) || marks.find(c) != std::string_view::npos;
}

} // namespace

std::optional<std::string> navigateAddress(std::string_view entry)
{
    while (!entry.empty() && isBlank(entry.front()))
        entry.remove_prefix(1);
    while (!entry.empty() && isBlank(entry.back()))
        entry.remove_suffix(1);

    std::string address(kPrefix);
    address.reserve(kPrefix.size() + entry.size());
    for (std::size_t i = 0; i < entry.size(); ++i) {
        const char c = entry[i];
        const auto byte = static_cast<unsigned char>(c);
        if ((byte < 0x20 && c != '\t') || byte == 0x7F)
            return std::nullopt;
        const bool escape = c == '%' && i + 2 < entry.size() && isHex(entry[i + 1]) && isHex(entry[i + 2]);
        if (urlHolds(c) || escape) {
            address += c;
        } else {
            static constexpr char digits[] = "0123456789ABCDEF";
            address += '%';
            address += digits[byte >> 4];
            address += digits[byte & 0xF];
        }
    }
    return address;
}

} // namespace quillmere
