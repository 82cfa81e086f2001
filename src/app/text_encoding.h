#pragma once

#include <string>
#include <string_view>

namespace quillmere {

// List servers send either UTF-8 or the Windows Western code page (1252). A text that is valid
// UTF-8 is taken as UTF-8, anything else as Windows-1252; either way the result is UTF-8.
// Every byte yields a character: nothing is dropped, NUL included.
bool isValidUtf8(std::string_view bytes);
std::string toUtf8(std::string_view bytes);

} // namespace quillmere
