#pragma once

#include <cstdint>

#include "platform/random_source.h"

namespace quillmere::platform {

// The runtime's unseeded 24-bit linear congruential generator: every run draws the same values,
// the first about 0.7055475.
class LcgRandomSource : public RandomSource {
public:
    float next() override;

private:
    std::uint32_t state_ = 327680;
};

} // namespace quillmere::platform
