#pragma once

#include <cstddef>
#include <cstdint>

namespace quillmere::swf::qt {

// FNV-1a, for fingerprints of what decides how something is drawn.
class FnvHash {
public:
    void mix(const void* data, std::size_t size)
    {
        for (std::size_t i = 0; i < size; ++i)
            value_ = (value_ ^ static_cast<const unsigned char*>(data)[i]) * 1099511628211ull;
    }
    template <typename T>
    void mixValue(const T& value)
    {
        mix(&value, sizeof value);
    }
    std::uint64_t value() const { return value_; }

private:
    std::uint64_t value_ = 14695981039346656037ull;
};

} // namespace quillmere::swf::qt
