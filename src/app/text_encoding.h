#pragma once

#include <string>
#include <string_view>

#include "base/utf8.h"

namespace quillmere {

// List servers send either UTF-8 or the Windows Western code page (1252). A text that is valid
// UTF-8 is taken as UTF-8, anything else as Windows-1252; either way the result is UTF-8.
// Every byte yields a character: nothing is dropped, NUL included.
std::string toUtf8(std::string_view bytes);

// The same text cut short: the beginning of what toUtf8 gives for the whole of `bytes`, from
// at most its first `limit` bytes, never a part of a character. The encoding is still decided
// by all of `bytes` (`isUtf8` is isValidUtf8(bytes), which a caller may have kept), so that a
// cut never shows other characters than the whole text has.
std::string toUtf8Prefix(std::string_view bytes, std::size_t limit, bool isUtf8);

} // namespace quillmere
