#include "swf/inflate.h"

#include <algorithm>
#include <limits>

#include <lzma.h>
#include <zlib.h>

#include "swf/format_error.h"
#include "swf/limits.h"

namespace quillmere::swf {

namespace {

constexpr std::size_t kFirstChunk = 64 * 1024;

// Room for more output: doubling, up to the limit.
void grow(std::string& out, std::size_t limit)
{
    out.resize(std::min(limit, std::max(kFirstChunk, out.size() * 2)));
}

} // namespace

std::string inflateAtMost(std::string_view compressed, std::size_t limit)
{
    z_stream stream{};
    if (inflateInit(&stream) != Z_OK)
        throw FormatError("zlib could not start");
    std::string out;
    std::size_t produced = 0;
    int result = Z_OK;
    std::size_t consumed = 0;
    while (result == Z_OK && produced < limit) {
        if (produced == out.size())
            grow(out, limit);
        const std::size_t input = std::min<std::size_t>(compressed.size() - consumed, std::numeric_limits<uInt>::max());
        stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(compressed.data() + consumed));
        stream.avail_in = static_cast<uInt>(input);
        stream.next_out = reinterpret_cast<Bytef*>(out.data() + produced);
        stream.avail_out
            = static_cast<uInt>(std::min<std::size_t>(out.size() - produced, std::numeric_limits<uInt>::max()));
        result = inflate(&stream, Z_NO_FLUSH);
        consumed += input - stream.avail_in;
        produced = static_cast<std::size_t>(reinterpret_cast<char*>(stream.next_out) - out.data());
    }
    const char* message = stream.msg;
    inflateEnd(&stream);
    if (result != Z_OK && result != Z_STREAM_END && result != Z_BUF_ERROR)
        throw FormatError(std::string("broken zlib data: ") + (message ? message : "unreadable"));
    out.resize(produced);
    return out;
}

std::string unlzmaAtMost(std::string_view alone, std::size_t limit)
{
    lzma_stream stream = LZMA_STREAM_INIT;
    if (lzma_alone_decoder(&stream, kMaxLzmaMemory) != LZMA_OK)
        throw FormatError("LZMA could not start");
    stream.next_in = reinterpret_cast<const std::uint8_t*>(alone.data());
    stream.avail_in = alone.size();
    std::string out;
    std::size_t produced = 0;
    lzma_ret result = LZMA_OK;
    while (result == LZMA_OK && produced < limit) {
        if (produced == out.size())
            grow(out, limit);
        stream.next_out = reinterpret_cast<std::uint8_t*>(out.data() + produced);
        stream.avail_out = out.size() - produced;
        result = lzma_code(&stream, LZMA_FINISH);
        produced = out.size() - stream.avail_out;
    }
    lzma_end(&stream);
    if (result != LZMA_OK && result != LZMA_STREAM_END && result != LZMA_BUF_ERROR)
        throw FormatError("broken LZMA data (code " + std::to_string(int(result)) + ")");
    out.resize(produced);
    return out;
}

} // namespace quillmere::swf
