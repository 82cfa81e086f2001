#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace quillmere::swf {

// Reads the little-endian fields and the bit fields of a movie from a span of bytes. Every
// read is checked: running past the end throws FormatError. Bit fields are read most
// significant bit first; a byte-sized read first skips to the next whole byte.
class ByteReader {
public:
    explicit ByteReader(std::string_view bytes) : bytes_(bytes) {}

    std::size_t position() const { return position_; }
    std::size_t remaining() const { return bytes_.size() - position_; }
    bool atEnd() const { return remaining() == 0; }

    std::uint8_t u8();
    std::uint16_t u16();
    std::uint32_t u32();
    std::int16_t s16() { return static_cast<std::int16_t>(u16()); }
    // A NUL-terminated string; the NUL is consumed, not returned.
    std::string string();
    std::string_view bytes(std::size_t count);
    std::string_view rest() { return bytes(remaining()); }
    void skip(std::size_t count) { bytes(count); }
    // A sub-reader over the next `count` bytes, which this reader then skips.
    ByteReader sub(std::size_t count) { return ByteReader(bytes(count)); }

    std::uint32_t ub(int bits);
    std::int32_t sb(int bits);
    double fb(int bits) { return sb(bits) / 65536.0; } // 16.16 fixed point
    bool flag() { return ub(1) != 0; }
    void align() { bitsLeft_ = 0; }

private:
    std::string_view bytes_;
    std::size_t position_ = 0;
    std::uint8_t bitBuffer_ = 0;
    int bitsLeft_ = 0;
};

} // namespace quillmere::swf
