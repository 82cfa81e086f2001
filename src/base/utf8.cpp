#include "base/utf8.h"

#include <cstdint>
#include <cstring>

namespace quillmere {

std::size_t utf8CharLength(std::string_view bytes)
{
    if (bytes.empty())
        return 0;
    const auto* p = reinterpret_cast<const std::uint8_t*>(bytes.data());
    const std::uint8_t lead = p[0];
    if (lead < 0x80)
        return 1;
    std::size_t length = 0;
    std::uint8_t low = 0x80;  // bounds of the second byte, which rule out overlong forms,
    std::uint8_t high = 0xBF; // surrogates and code points above U+10FFFF
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        low = lead == 0xE0 ? 0xA0 : 0x80;
        high = lead == 0xED ? 0x9F : 0xBF;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    } else {
        return 0;
    }
    if (bytes.size() < length || p[1] < low || p[1] > high)
        return 0;
    for (std::size_t i = 2; i < length; ++i)
        if ((p[i] & 0xC0) != 0x80)
            return 0;
    return length;
}

char32_t utf8CodePoint(std::string_view character)
{
    const auto lead = static_cast<std::uint8_t>(character[0]);
    if (character.size() == 1)
        return lead;
    char32_t c = lead & (0x7F >> character.size());
    for (std::size_t i = 1; i < character.size(); ++i)
        c = c << 6 | (static_cast<std::uint8_t>(character[i]) & 0x3F);
    return c;
}

bool isValidUtf8(std::string_view bytes)
{
    std::size_t at = 0;
    while (at < bytes.size()) {
        // Eight ASCII bytes at a time: a long line of a site name's letters checks at the
        // speed of memory.
        if (std::uint64_t word;
            bytes.size() - at >= 8 && (std::memcpy(&word, bytes.data() + at, 8), (word & 0x8080808080808080u) == 0)) {
            at += 8;
            continue;
        }
        const std::size_t length = utf8CharLength(bytes.substr(at));
        if (length == 0)
            return false;
        at += length;
    }
    return true;
}

} // namespace quillmere
