#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace quillmere::swf {

// A movie file opened: its version and the bytes after the 8-byte header, decompressed.
struct Container {
    std::uint8_t version = 0;
    std::string body; // frame size, rate and count, then the tags
};

// Opens "FWS" (plain), "CWS" (zlib) and "ZWS" (LZMA) movies. Throws FormatError for any other
// signature, a broken compressed stream, or a body larger than kMaxMovieBytes.
Container openContainer(std::string_view file);

} // namespace quillmere::swf
