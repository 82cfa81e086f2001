#include "base/web_address.h"

#include <cctype>

namespace quillmere {

namespace {

bool startsWithNoCase(std::string_view text, std::string_view prefix)
{
    if (text.size() < prefix.size())
        return false;
    for (std::size_t i = 0; i < prefix.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(text[i])) != prefix[i])
            return false;
    return true;
}

bool isHex(char c)
{
    return std::isxdigit(static_cast<unsigned char>(c)) != 0;
}

std::size_t schemeLength(std::string_view address)
{
    if (startsWithNoCase(address, "http://"))
        return 7;
    if (startsWithNoCase(address, "https://"))
        return 8;
    return 0;
}

} // namespace

bool isBrowserAddress(std::string_view address)
{
    if (schemeLength(address) == 0)
        return false;
    for (const char c : address)
        if (const auto byte = static_cast<unsigned char>(c); byte <= 0x20 || byte == 0x7F)
            return false;
    return true;
}

bool isWebAddress(std::string_view address)
{
    std::size_t at = schemeLength(address);
    if (at == 0)
        return false;

    // The host, up to the port, path, query or fragment.
    const std::size_t hostStart = at;
    while (at < address.size()) {
        const auto c = static_cast<unsigned char>(address[at]);
        if (std::isalnum(c) || c == '.' || c == '-' || c >= 0x80)
            ++at;
        else
            break;
    }
    if (at == hostStart)
        return false;
    if (at < address.size() && address[at] == ':') {
        const std::size_t portStart = ++at;
        while (at < address.size() && std::isdigit(static_cast<unsigned char>(address[at])))
            ++at;
        if (at == portStart || at - portStart > 5)
            return false;
    }
    if (at < address.size() && address[at] != '/' && address[at] != '?' && address[at] != '#')
        return false;

    static constexpr std::string_view allowed = "-._~!$&'()*+,;=:@/?#";
    for (; at < address.size(); ++at) {
        const auto c = static_cast<unsigned char>(address[at]);
        if (c == '%') {
            if (at + 2 >= address.size() || !isHex(address[at + 1]) || !isHex(address[at + 2]))
                return false;
            at += 2;
        } else if (!std::isalnum(c) && c < 0x80 && allowed.find(char(c)) == std::string_view::npos) {
            return false;
        }
    }
    return true;
}

} // namespace quillmere
