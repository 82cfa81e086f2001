#include "swf/avm1/strings.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "base/utf8.h"

namespace quillmere::swf::avm1 {

namespace {

std::size_t characterLength(std::string_view rest, bool utf8)
{
    return utf8 ? std::max<std::size_t>(1, utf8CharLength(rest)) : 1;
}

} // namespace

std::size_t characterCount(std::string_view text, bool utf8)
{
    if (!utf8)
        return text.size();
    std::size_t count = 0;
    for (std::size_t at = 0; at < text.size(); at += characterLength(text.substr(at), true))
        ++count;
    return count;
}

std::size_t byteOffset(std::string_view text, bool utf8, std::size_t index)
{
    if (!utf8)
        return std::min(index, text.size());
    std::size_t at = 0;
    for (std::size_t i = 0; i < index && at < text.size(); ++i)
        at += characterLength(text.substr(at), true);
    return std::min(at, text.size());
}

std::string characters(std::string_view text, bool utf8, double first, double count)
{
    const double length = double(characterCount(text, utf8));
    if (std::isnan(first) || first < 0)
        first = 0;
    first = std::min(std::trunc(first), length);
    if (std::isnan(count) || count < 0 || first + count > length)
        count = length - first;
    const std::size_t from = byteOffset(text, utf8, std::size_t(first));
    const std::size_t to = from + byteOffset(text.substr(from), utf8, std::size_t(std::trunc(count)));
    return std::string(text.substr(from, to - from));
}

std::string character(std::uint32_t code, bool utf8)
{
    if (!utf8 || code < 0x80)
        return std::string(1, char(code & 0xFF));
    if (code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
        code = 0xFFFD;
    std::string out;
    if (code < 0x800) {
        out += char(0xC0 | code >> 6);
    } else if (code < 0x10000) {
        out += char(0xE0 | code >> 12);
        out += char(0x80 | (code >> 6 & 0x3F));
    } else {
        out += char(0xF0 | code >> 18);
        out += char(0x80 | (code >> 12 & 0x3F));
        out += char(0x80 | (code >> 6 & 0x3F));
    }
    out += char(0x80 | (code & 0x3F));
    return out;
}

std::uint32_t firstCode(std::string_view text, bool utf8)
{
    if (text.empty())
        return 0;
    if (const std::size_t length = utf8 ? utf8CharLength(text) : 0; length > 1)
        return utf8CodePoint(text.substr(0, length));
    return static_cast<unsigned char>(text.front());
}

std::u32string codes(std::string_view text, bool utf8)
{
    std::u32string out;
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t length = characterLength(text.substr(at), utf8);
        out += char32_t(firstCode(text.substr(at, length), utf8));
        at += length;
    }
    return out;
}

std::string fromCodes(std::u32string_view codes, bool utf8)
{
    std::string out;
    for (const char32_t code : codes)
        out += character(code, utf8);
    return out;
}

std::string lowerCase(std::string_view name)
{
    std::string out(name);
    for (char& c : out)
        c = c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
    return out;
}

bool sameInLowerCase(std::string_view name, std::string_view lower)
{
    return name.size() == lower.size() && std::equal(name.begin(), name.end(), lower.begin(), [](char a, char b) {
               return (a >= 'A' && a <= 'Z' ? char(a - 'A' + 'a') : a) == b;
           });
}

} // namespace quillmere::swf::avm1
