#include "app/text_encoding.h"

#include <array>
#include <cstdint>

namespace quillmere {

namespace {

// Windows-1252 bytes 0x80-0x9F. The five bytes the code page leaves undefined map to the C1
// control of the same value, as browsers do.
constexpr std::array<char16_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

void appendUtf8(std::string& out, char32_t c)
{
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

std::string fromWindows1252(std::string_view bytes)
{
    std::string out;
    out.reserve(bytes.size() * 2);
    for (const char byte : bytes) {
        const auto b = static_cast<std::uint8_t>(byte);
        appendUtf8(out, b >= 0x80 && b < 0xA0 ? kHighControls[b - 0x80] : char32_t{b});
    }
    return out;
}

} // namespace

std::string toUtf8(std::string_view bytes)
{
    return isValidUtf8(bytes) ? std::string(bytes) : fromWindows1252(bytes);
}

std::string toUtf8Prefix(std::string_view bytes, std::size_t limit, bool isUtf8)
{
    if (!isUtf8)
        return fromWindows1252(bytes.substr(0, limit));
    if (bytes.size() <= limit)
        return std::string(bytes);
    std::size_t cut = limit;
    while (cut > 0 && (static_cast<unsigned char>(bytes[cut]) & 0xC0) == 0x80) // not inside a character
        --cut;
    return std::string(bytes.substr(0, cut));
}

} // namespace quillmere
