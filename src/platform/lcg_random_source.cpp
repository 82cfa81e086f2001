#include "platform/lcg_random_source.h"

namespace quillmere::platform {

float LcgRandomSource::next()
{
    constexpr std::uint32_t modulus = 1u << 24;
    state_ = static_cast<std::uint32_t>((std::uint64_t{state_} * 1140671485u + 12820163u) % modulus);
    return static_cast<float>(state_) / static_cast<float>(modulus);
}

} // namespace quillmere::platform
