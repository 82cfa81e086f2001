#pragma once

#include <cstddef>
#include <string_view>

namespace quillmere {

// What well-formed UTF-8 is, wherever text is decoded: no overlong form, no surrogate, nothing
// above U+10FFFF, no stray or cut-short sequence.

// The length (1 to 4) of the character that starts `bytes`, or 0 when they do not start with
// a well-formed one.
std::size_t utf8CharLength(std::string_view bytes);
// The code point of a character that utf8CharLength measured, given exactly its bytes.
char32_t utf8CodePoint(std::string_view character);
bool isValidUtf8(std::string_view bytes);

} // namespace quillmere
