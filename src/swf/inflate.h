#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace quillmere::swf {

// Decompresses a zlib stream, or an LZMA "alone" stream, into at most `limit` bytes. Memory
// grows with what the stream really holds, not with what a header claims. Throws FormatError
// when the stream is broken. A stream that ends early, or runs on past the limit, is not an
// error here: a movie's body that ends early plays what it holds, and inflateExactly refuses a
// bitmap whose data falls short.
std::string inflateAtMost(std::string_view compressed, std::size_t limit);
std::string unlzmaAtMost(std::string_view alone, std::size_t limit);

} // namespace quillmere::swf
