#include "swf/container.h"

#include "swf/byte_reader.h"
#include "swf/format_error.h"
#include "swf/inflate.h"
#include "swf/limits.h"

namespace quillmere::swf {

namespace {

// The header's file length counts the 8 header bytes and the body as decompressed.
// What the header says the body holds. Some writers leave the field 0 (or short of the header
// itself) while every tag is there, and players read on: the body then runs as far as the data,
// within the limit.
std::size_t declaredBodySize(std::uint32_t fileLength)
{
    if (fileLength < 8)
        return kMaxMovieBytes;
    if (fileLength - 8 > kMaxMovieBytes)
        throw LimitExceeded("movie of " + std::to_string(fileLength) + " bytes is over the limit");
    return fileLength - 8;
}

// ZWS: compressed length (4 bytes), then the LZMA properties (5 bytes) and the raw stream. The
// .lzma ("alone") format is the same with the uncompressed size after the properties.
std::string unlzmaBody(ByteReader& in, std::size_t size)
{
    in.u32();
    const std::string_view properties = in.bytes(5);
    std::string alone(properties);
    // The size as the header says, or "unknown" (all ones) when it does not say.
    std::uint64_t length = size == kMaxMovieBytes ? ~std::uint64_t(0) : size;
    for (int i = 0; i < 8; ++i, length >>= 8)
        alone += static_cast<char>(length & 0xFF);
    alone += in.rest();
    return unlzmaAtMost(alone, size);
}

} // namespace

Container openContainer(std::string_view file)
{
    ByteReader in(file);
    if (file.size() < 8)
        throw FormatError("not a movie: " + std::to_string(file.size()) + " bytes");
    const std::string_view signature = in.bytes(3);
    if (signature != "FWS" && signature != "CWS" && signature != "ZWS")
        throw FormatError("not a movie: no FWS, CWS or ZWS signature");
    Container movie;
    movie.version = in.u8();
    const std::size_t size = declaredBodySize(in.u32());
    if (signature == "FWS") {
        const std::string_view body = in.rest();
        movie.body = std::string(body.substr(0, size));
    } else if (signature == "CWS") {
        movie.body = inflateAtMost(in.rest(), size);
    } else {
        movie.body = unlzmaBody(in, size);
    }
    return movie;
}

} // namespace quillmere::swf
