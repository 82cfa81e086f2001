#include "swf/types.h"

#include <algorithm>
#include <cmath>

namespace quillmere::swf {

Rgba ColorTransform::apply(Rgba color) const
{
    const auto channel = [this](int i, std::uint8_t value) {
        return static_cast<std::uint8_t>(std::clamp(std::lround(value * mult[i] + add[i]), 0L, 255L));
    };
    return {channel(0, color.r), channel(1, color.g), channel(2, color.b), channel(3, color.a)};
}

ColorTransform ColorTransform::after(const ColorTransform& inner) const
{
    ColorTransform combined;
    for (int i = 0; i < 4; ++i) {
        combined.mult[i] = inner.mult[i] * mult[i];
        combined.add[i] = inner.add[i] * mult[i] + add[i];
    }
    return combined;
}

} // namespace quillmere::swf
