#include "swf/container.h"

#include <lzma.h>
#include <zlib.h>

#include "swf/byte_reader.h"
#include "swf/format_error.h"
#include "swf/limits.h"

namespace quillmere::swf {

namespace {

// The header's file length counts the 8 header bytes and the body as decompressed.
std::size_t declaredBodySize(std::uint32_t fileLength)
{
    if (fileLength < 8)
        throw FormatError("file length " + std::to_string(fileLength) + " is shorter than the header");
    if (fileLength - 8 > kMaxMovieBytes)
        throw FormatError("movie of " + std::to_string(fileLength) + " bytes is over the limit");
    return fileLength - 8;
}

std::string inflateBody(std::string_view compressed, std::size_t size)
{
    std::string body(size, '\0');
    z_stream stream{};
    if (inflateInit(&stream) != Z_OK)
        throw FormatError("zlib could not start");
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(compressed.data()));
    stream.avail_in = static_cast<uInt>(compressed.size());
    stream.next_out = reinterpret_cast<Bytef*>(body.data());
    stream.avail_out = static_cast<uInt>(body.size());
    const int result = inflate(&stream, Z_FINISH);
    const std::size_t produced = stream.total_out;
    inflateEnd(&stream);
    // Z_BUF_ERROR: the stream holds more than the header declares; the rest is not read.
    if (result != Z_STREAM_END && result != Z_BUF_ERROR)
        throw FormatError(std::string("broken zlib stream: ") + (stream.msg ? stream.msg : "truncated"));
    body.resize(produced);
    return body;
}

// ZWS: compressed length (4 bytes), then the LZMA properties (5 bytes) and the raw stream. The
// .lzma ("alone") format is the same with the uncompressed size after the properties.
std::string unlzmaBody(ByteReader& in, std::size_t size)
{
    in.u32();
    const std::string_view properties = in.bytes(5);
    std::string alone(properties);
    std::uint64_t length = size;
    for (int i = 0; i < 8; ++i, length >>= 8)
        alone += static_cast<char>(length & 0xFF);
    alone += in.rest();

    lzma_stream stream = LZMA_STREAM_INIT;
    if (lzma_alone_decoder(&stream, 256u << 20) != LZMA_OK)
        throw FormatError("LZMA could not start");
    std::string body(size, '\0');
    stream.next_in = reinterpret_cast<const std::uint8_t*>(alone.data());
    stream.avail_in = alone.size();
    stream.next_out = reinterpret_cast<std::uint8_t*>(body.data());
    stream.avail_out = body.size();
    const lzma_ret result = lzma_code(&stream, LZMA_FINISH);
    const std::size_t produced = stream.total_out;
    lzma_end(&stream);
    if (result != LZMA_STREAM_END && result != LZMA_OK)
        throw FormatError("broken LZMA stream (code " + std::to_string(int(result)) + ")");
    body.resize(produced);
    return body;
}

} // namespace

Container openContainer(std::string_view file)
{
    ByteReader in(file);
    if (file.size() < 8)
        throw FormatError("not a movie: " + std::to_string(file.size()) + " bytes");
    const std::string_view signature = in.bytes(3);
    Container movie;
    movie.version = in.u8();
    const std::size_t size = declaredBodySize(in.u32());
    if (signature == "FWS") {
        const std::string_view body = in.rest();
        movie.body = std::string(body.substr(0, size));
    } else if (signature == "CWS") {
        movie.body = inflateBody(in.rest(), size);
    } else if (signature == "ZWS") {
        movie.body = unlzmaBody(in, size);
    } else {
        throw FormatError("not a movie: no FWS, CWS or ZWS signature");
    }
    return movie;
}

} // namespace quillmere::swf
