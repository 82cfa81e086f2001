// List text decoding: any bytes give valid UTF-8, valid UTF-8 comes back unchanged, and what a
// row shows of an entry, cut anywhere, is the beginning of what Copy gives.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "app/text_encoding.h"

using namespace quillmere;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const std::string text = toUtf8(bytes);
    if (!isValidUtf8(text) || text.empty() != bytes.empty())
        std::abort();
    if (isValidUtf8(bytes) && text != bytes)
        std::abort();
    if (!isValidUtf8(bytes) && text.size() < bytes.size())
        std::abort(); // every byte yields a character
    const std::size_t limit = size == 0 ? 0 : data[0] % (size + 1);
    if (!text.starts_with(toUtf8Prefix(bytes, limit, isValidUtf8(bytes))))
        std::abort();
    return 0;
}
