#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace quillmere::swf::avm1 {

// Strings as scripts count them: in UTF-8 characters from version 6 on (`utf8`), in bytes
// before. A byte that starts no well-formed character counts as one.
std::size_t characterCount(std::string_view text, bool utf8);
// `count` characters from the `first` (0-based), both cut to the string; a negative or NaN
// count reaches its end.
std::string characters(std::string_view text, bool utf8, double first, double count);
// The character `code` as UTF-8, or as one byte before version 6.
std::string character(std::uint32_t code, bool utf8);
// The code of the first character, 0 for none.
std::uint32_t firstCode(std::string_view text, bool utf8);
// Where the `index`-th character starts, in bytes; the string's size past its end.
std::size_t byteOffset(std::string_view text, bool utf8, std::size_t index);
// The characters' codes, and back: for what works on characters one by one.
std::u32string codes(std::string_view text, bool utf8);
std::string fromCodes(std::u32string_view codes, bool utf8);
// A to Z made a to z, and nothing else: names that ignore case.
std::string lowerCase(std::string_view name);
// Whether `name` is `lower` in any case of its ASCII letters, without making a copy.
bool sameInLowerCase(std::string_view name, std::string_view lower);

} // namespace quillmere::swf::avm1
