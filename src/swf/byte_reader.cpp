#include "swf/byte_reader.h"

#include <cstring>

#include "swf/format_error.h"

namespace quillmere::swf {

std::string_view ByteReader::bytes(std::size_t count)
{
    align();
    if (count > remaining())
        throw FormatError("truncated at byte " + std::to_string(position_) + " of " + std::to_string(bytes_.size()));
    const std::string_view taken = bytes_.substr(position_, count);
    position_ += count;
    return taken;
}

std::uint8_t ByteReader::u8()
{
    return static_cast<std::uint8_t>(bytes(1)[0]);
}

std::uint16_t ByteReader::u16()
{
    const auto b = bytes(2);
    return static_cast<std::uint16_t>(std::uint8_t(b[0]) | std::uint8_t(b[1]) << 8);
}

std::uint32_t ByteReader::u32()
{
    const auto b = bytes(4);
    return std::uint32_t(std::uint8_t(b[0])) | std::uint32_t(std::uint8_t(b[1])) << 8
           | std::uint32_t(std::uint8_t(b[2])) << 16 | std::uint32_t(std::uint8_t(b[3])) << 24;
}

std::string ByteReader::string()
{
    align();
    const void* nul = std::memchr(bytes_.data() + position_, 0, remaining());
    if (!nul)
        throw FormatError("unterminated string at byte " + std::to_string(position_));
    const auto length = static_cast<std::size_t>(static_cast<const char*>(nul) - (bytes_.data() + position_));
    std::string text(bytes(length));
    skip(1);
    return text;
}

std::uint32_t ByteReader::ub(int bits)
{
    std::uint32_t value = 0;
    for (int i = 0; i < bits; ++i) {
        if (bitsLeft_ == 0) {
            if (position_ >= bytes_.size())
                throw FormatError("truncated bit field at byte " + std::to_string(position_));
            bitBuffer_ = static_cast<std::uint8_t>(bytes_[position_++]);
            bitsLeft_ = 8;
        }
        --bitsLeft_;
        value = value << 1 | ((bitBuffer_ >> bitsLeft_) & 1u);
    }
    return value;
}

std::int32_t ByteReader::sb(int bits)
{
    if (bits == 0)
        return 0;
    const std::uint32_t raw = ub(bits);
    // Sign-extend from the field's top bit; fields of 32 bits are already full width.
    if (bits < 32 && (raw >> (bits - 1)) & 1u)
        return static_cast<std::int32_t>(raw | ~((1u << bits) - 1u));
    return static_cast<std::int32_t>(raw);
}

} // namespace quillmere::swf
